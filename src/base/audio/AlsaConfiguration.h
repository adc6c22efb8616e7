#pragma once

namespace kestrova {

// ALSA reads its configuration once per process, and its hooks decide then what a
// name means: Debian's pulse hook makes "default" the sound server only when the
// server is running at that moment. Forgotten, the configuration is read again at
// the next open, so a sound server that started after the program is found.
// Streams already open keep what they were opened with.
void forgetAlsaConfiguration();

} // namespace kestrova
