#include "app/HeadlessStart.h"

#include "services/ProgramIdentity.h"

#include <QDir>

namespace kestrova {

void chooseOffscreenWindowing() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString headlessStartLine(const ProgramIdentity& identity, const QString& programFolder) {
    return identity.programTitle + QLatin1Char(' ') + identity.versionText +
           QStringLiteral(" läuft ohne Bildschirm; Einstellungen und Aufnahmen liegen in ") +
           QDir::toNativeSeparators(programFolder);
}

} // namespace kestrova
