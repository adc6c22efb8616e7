#include "base/program/MissingProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

QString missingProgramFolder(const QString& programFolder) {
    const QFileInfo folder(programFolder);
    if (folder.isDir()) {
        return {};
    }
    const QString shown = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (folder.exists()) {
        return QStringLiteral("Der Programmordner [%1] ist kein Ordner.").arg(shown);
    }
    return QStringLiteral("Den Programmordner [%1] gibt es nicht. Bitte zuerst anlegen, für einen Dienst "
                          "mit dessen Benutzer als Eigentümer, etwa mit: sudo install -d -o kestrova -g "
                          "kestrova -m 0750 %1")
        .arg(shown);
}

} // namespace kestrova
