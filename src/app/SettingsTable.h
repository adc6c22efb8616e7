#pragma once

#include <QString>
#include <span>

namespace kestrova {

class Program;
struct SettingsGuesses;
struct SettingsValues;

// What applying or saving a line reaches: the controls that hold the settings, the
// values derived from them, and the notes on values that are only a guess.
struct SettingsTarget {
    Program& program;
    SettingsValues& values;
    SettingsGuesses& guesses;
};

// One value line of Kestrova.ini. Nothing in the file names a value, so this row
// is the only place that knows what a line number means.
struct SettingsLine {
    int number;
    const char* holder;             // the control that keeps the value, or what else does
    const char* newFileDefault;     // nullptr: the program folder
    const char* damagedFileDefault; // nullptr: the program folder
    // Hands the text to its control and the derived values; false when the control
    // refuses it or the value cannot be right, which makes the file damaged.
    bool (*apply)(SettingsTarget& target, const QString& text);
    // The line as the controls hold it now, for saving.
    QString (*current)(SettingsTarget& target);
};

// Lines 2 to 30 in file order; line 1 is the note, which is never read back.
std::span<const SettingsLine> settingsLines();

// What the reading does once every line is in: the minimum-time bar takes the
// minimum recording time. False when it cannot.
bool finishSettingsLines(SettingsTarget& target);

} // namespace kestrova
