#pragma once

namespace kestrova {

class Archive;
struct Forms;
class StatusBar;

// What the archive shows on the forms: the main and info windows around a list
// pass, the info window's text while deleting, the list's current row, and the
// status bar's count and deletion hold.
void connectArchiveControls(Archive& archive, const Forms& forms, StatusBar& statusBar);

} // namespace kestrova
