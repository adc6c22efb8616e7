#pragma once

namespace kestrova {

// How a sound begins on the output. A keyed transmitter and the receivers on the
// circuit take a moment to come up, and a new stream's first blocks can be lost to
// the sound server: on the air a sound begins after a lead-in of silence. Heard
// only at the station, it begins at once.
enum class SoundStart { AtOnce, AfterLeadIn };

} // namespace kestrova
