#pragma once

namespace kestrova {

class Recorder;
struct Forms;
class StatusBar;

// The recorder's controls: the main window's box, threshold slider, bars, lamps
// and level, the settings form's device, rate and interval fields, and the status
// bar. They show what the recorder, its meter and its capture signal and hand
// them the user's moves.
void connectRecorderControls(Recorder& recorder, const Forms& forms, StatusBar& statusBar);

} // namespace kestrova
