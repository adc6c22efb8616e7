#pragma once

namespace kestrova {

class Archive;
class Services;

// What the archive shows on the forms: the main and info windows around a list
// pass, the info window's text while deleting, the list's current row, and the
// status bar's count and deletion hold.
void connectArchiveControls(Archive& archive, Services& program);

} // namespace kestrova
