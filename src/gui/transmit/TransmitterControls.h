#pragma once

namespace kestrova {

struct Forms;
class StatusBar;
class Transmitter;

// The transmitter's controls: the sound window's TX button and volume slider, the
// settings form's pin fields, volume field and device list, and the status bar.
// They show what the transmitter signals and hand it the user's moves.
void connectTransmitterControls(Transmitter& transmitter, const Forms& forms, StatusBar& statusBar);

} // namespace kestrova
