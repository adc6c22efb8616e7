#pragma once

#include "base/program/WebServing.h"

#include <memory>

namespace kestrova {

class Program;

// The windowed program's web page (see WebServing::startIfAsked): what keeps it
// from starting is also shown in the status bar once the start is done.
std::unique_ptr<WebServing> startWebPage(Program& program, const QString& address,
                                         const QString& programFolder, HashLookup hash = {});

} // namespace kestrova
