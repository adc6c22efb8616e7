#include "base/archive/RecordingFolders.h"

#include "base/archive/DatedTree.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

std::optional<QString> findRecordingsFolder(const QString& docFolder) {
    for (const QString& name : {QStringLiteral("w"), QStringLiteral("W")}) {
        const QString path = QDir(docFolder).filePath(name);
        if (QFileInfo(path).isDir()) {
            return path;
        }
    }
    return std::nullopt;
}

QString newRecordingsFolderPath(const QString& docFolder) {
    return QDir(docFolder).filePath(QStringLiteral("W"));
}

QString recordingsFolderName(const QString& docFolder) {
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder ? QDir(*folder).dirName() : QStringLiteral("W");
}

bool isRecordingsFolderName(const QString& name) {
    return name == QStringLiteral("w") || name == QStringLiteral("W");
}

bool ensureRecordingsFolder(const QString& docFolder) {
    if (findRecordingsFolder(docFolder)) {
        return true;
    }
    return QDir().mkpath(newRecordingsFolderPath(docFolder));
}

QString keptCopyPath(const QString& docFolder, const QString& name, bool archiving) {
    const QString dated = datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name;
    if (archiving && QFileInfo(dated).isFile()) {
        return dated;
    }
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder ? *folder + QLatin1Char('/') + name : QString();
}

QString noRecordingsMessage(const QString& docFolder) {
    return QStringLiteral("Der Pfad [") + QDir::toNativeSeparators(newRecordingsFolderPath(docFolder)) +
           QStringLiteral("] ist nicht vorhanden, oder es liegen noch keine Aufzeichnungen vor.");
}

} // namespace kestrova
