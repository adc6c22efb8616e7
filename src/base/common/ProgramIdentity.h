#pragma once

#include <QString>

namespace kestrova {

// The program's identity texts, fixed by the main routine.
struct ProgramIdentity {
    QString programTitle = QStringLiteral("Kestrova");
    QString exeName = QStringLiteral("Kestrova.exe");
    QString versionText = QStringLiteral("V:17082012b");
};

} // namespace kestrova
