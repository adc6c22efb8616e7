#pragma once

namespace kestrova {

class Services;

// Connects the sound window's player controls and timers to their handlers.
void wirePlayerEvents(Services& program);

} // namespace kestrova
