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

// How the controls take and give one value line of Kestrova.ini; the rows follow
// settingsLineDefaults(), which says what each line holds.
struct SettingsLine {
    int number;
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
