#pragma once

#include <span>

namespace kestrova {

// One value line of Kestrova.ini: what holds its value and its defaults. Nothing in
// the file names a value, so this row is the only place that knows what a line
// number means; the controls that take each line are bound in the same order by the
// settings table above the forms.
struct SettingsLineDefaults {
    int number;
    const char* holder;             // the control that keeps the value, or what else does
    const char* newFileDefault;     // nullptr: the program folder
    const char* damagedFileDefault; // nullptr: the program folder
};

// Lines 2 to 30 in file order; line 1 is the note, which is never read back.
std::span<const SettingsLineDefaults> settingsLineDefaults();

} // namespace kestrova
