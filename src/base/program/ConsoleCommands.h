#pragma once

#include "base/program/CommandLine.h"

#include <QStringList>
#include <optional>

namespace kestrova {

// The command line as the program was given it.
QStringList commandArguments(int argc, char** argv);

// What both programs answer without a recorder: a wrong argument, the version,
// the help, --verify, the web password and the settings commands. Returns the
// exit code when the command line asked for one of them, nothing otherwise.
std::optional<int> runConsoleCommand(const CommandLine& line, int& argc, char** argv);

// The program folder of this run (see chooseProgramFolder); needs the application object.
ProgramFolderChoice programFolderFor(const CommandLine& line);

} // namespace kestrova
