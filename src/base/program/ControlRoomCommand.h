#pragma once

#include "base/program/CommandLine.h"

namespace kestrova {

// kestrova --leitstelle --web ADRESSE:PORT ORDNER…: one page over several circuits,
// until SIGTERM. Its password and broker are those of its own program folder.
int runControlRoom(const CommandLine& line, int& argc, char** argv);

} // namespace kestrova
