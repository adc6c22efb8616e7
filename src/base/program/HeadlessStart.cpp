#include "base/program/HeadlessStart.h"

#include "base/common/ProgramIdentity.h"

#include <QDir>

namespace kestrova {

QString headlessStartLine(const ProgramIdentity& identity, const QString& programFolder) {
    return identity.programTitle + QLatin1Char(' ') + identity.versionText +
           QStringLiteral(" läuft ohne Bildschirm; Einstellungen und Aufnahmen liegen in ") +
           QDir::toNativeSeparators(programFolder);
}

} // namespace kestrova
