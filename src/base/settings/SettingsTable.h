#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <span>

namespace kestrova {

struct SettingsGuesses;
struct SettingsValues;

// Lines of Kestrova.ini: the creation note, then one value per row of the table.
extern const int kSettingsLineCount;

enum class SettingsRuleKind {
    Text,     // any text
    Folder,   // a folder; the form refuses an empty one
    Choice,   // exactly one of the choices
    Flag,     // 0 or 1, as a check box holds it
    Number,   // a number field of the settings form
    Position, // a window's edge in twips
};

// What a number field of the form accepts; the form refuses everything else.
struct FormNumberRange {
    double low;
    double high;
    bool aboveLow; // low itself is refused
    bool whole;
    bool oneDigit; // exactly one digit, as typed
};

// What the holder of a value takes when the file is read: the number, times scale,
// rounded (or cut down to its whole part) must lie within low..high, or the file
// counts as damaged. Looser than the form: the file may hold what older versions
// wrote.
struct HeldRange {
    double scale;
    long long low;
    long long high;
    bool wholePartOnly;
};

struct SettingsRule {
    SettingsRuleKind kind;
    FormNumberRange form;                 // Number only
    const HeldRange* held;                // nullptr: reading takes any text
    std::span<const char* const> choices; // Choice only; also the items of its list
};

// Where the value of a line goes in SettingsValues, if anywhere: take sets it from
// the line's text, differs tells whether what take sets is not the same in two sets
// of values (the store signals the line's change by it), give writes it back for a
// line no control of the form holds.
struct SettingsValueSlot {
    void (*take)(const QString& text, SettingsValues& values, SettingsGuesses& guesses);
    bool (*differs)(const SettingsValues& before, const SettingsValues& after);
    QString (*give)(const SettingsValues& values);
};

// One value line of Kestrova.ini. Nothing in the file names a value, so this row is
// the only place that knows what a line number means.
struct SettingsRow {
    int line;
    const char* key;                // a stable short name
    const char* fieldName;          // German, as the settings form labels the field
    const char* meaning;            // German, one line, for the command line's list
    const char* newFileDefault;     // nullptr: the program folder
    const char* damagedFileDefault; // nullptr: the program folder
    SettingsRule rule;
    SettingsValueSlot value;
};

// Lines 2 to 30 in file order; line 1 is the note, which is never read back.
std::span<const SettingsRow> settingsRows();

// The row of that key; nullptr when there is none.
const SettingsRow* settingsRow(QStringView key);

// Whether reading takes the text for the row's line; a line it does not take makes
// the whole file damaged.
bool readingTakes(const SettingsRow& row, const QString& text);

// Why the form refuses the text of the row's field, in German and naming the field;
// empty when it takes it (as for every row that is neither a number field nor the folder).
QString formRefusal(const SettingsRow& row, const QString& text);

// Which values of a reading are only stand-ins, in German and naming their fields;
// empty when none is.
QString guessedValues(const SettingsGuesses& guesses);

// Sets the values from the 30 lines of the file. False, with the values left as
// they were, when the file is short or one line is damaged.
bool readSettingsValues(const QStringList& lines, SettingsValues& values, SettingsGuesses& guesses);

} // namespace kestrova
