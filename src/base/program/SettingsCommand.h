#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class QTextStream;

namespace kestrova {

// The settings from the command line, for a service that has no form: list them,
// confirm them, or set some by name.
struct SettingsCommand {
    bool confirm = false;    // --bestaetigen: the settings in force are the user's own
    QStringList assignments; // --setze NAME=WERT ...
};

// Lists Kestrova.ini of the program folder, or sets and saves what the command asks
// for, with the settings form's rules; leaves the file as it was on any refusal.
// The exit status: 0 done, 1 refused or failed.
int runSettingsCommand(const QString& programFolder, const SettingsCommand& command, const QDateTime& now,
                       QTextStream& out, QTextStream& err);

} // namespace kestrova
