#pragma once

namespace kestrova {

class AutoCq;
struct Forms;
class StatusBar;

// Auto-CQ's controls: the main window's Auto-CQ button, parrot button and squelch
// label, and the status bar show what it signals; the button and the parrot button
// hand it the user's clicks, the sound window's volume slider and the settings
// form's transmitter control box what they hold.
void connectAutoCqControls(AutoCq& cq, const Forms& forms, StatusBar& statusBar);

} // namespace kestrova
