#pragma once

namespace kestrova {

class Program;

// Shows the archive's recordings in the list and connects the list and its delete
// button to the archive's handlers.
void wireArchiveEvents(Program& program);

} // namespace kestrova
