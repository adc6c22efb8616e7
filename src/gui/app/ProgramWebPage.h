#pragma once

#include "base/program/WebServing.h"

#include <memory>

namespace kestrova {

class Program;

// What the windowed program's web page shows: the circuit's, and what keeps the page
// from starting is also shown in the status bar once the start is done.
WebSources webPageSources(Program& program);

} // namespace kestrova
