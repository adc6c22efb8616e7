#pragma once

namespace kestrova {

class Program;

// Connects the recording list and its delete button to the archive's handlers.
void wireArchiveEvents(Program& program);

} // namespace kestrova
