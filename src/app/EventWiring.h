#pragma once

namespace kestrova {

class Program;

// Connects every control and timer of the forms to its handler.
void wireEvents(Program& program);

} // namespace kestrova
