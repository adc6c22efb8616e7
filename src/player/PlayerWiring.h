#pragma once

namespace kestrova {

class Program;

// Connects the sound window's player controls and timers to their handlers.
void wirePlayerEvents(Program& program);

} // namespace kestrova
