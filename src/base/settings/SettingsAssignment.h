#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

struct SettingsRow;

// The row a name stands for on the command line: its key ("keepDays") or its
// field's German name ("Aufnahmen behalten"), in any case, and "Schwelle" for the
// start level, as its slider on the main window is labelled; nullptr when none.
const SettingsRow* settingsRowNamed(const QString& name);

struct AssignedSettings {
    QStringList lines; // all of the file's lines with the new values
    QString refusal;   // German, naming the field; empty when every value was taken
};

// Sets "NAME=WERT" in the lines of Kestrova.ini with the rules of the settings form.
// On any refusal the lines come back as they were given. The result must read as a
// whole file: a line that is damaged and not set is refused too.
AssignedSettings assignSettings(const QStringList& lines, const QStringList& assignments);

// Every line of the file with its field's name, key, value and meaning, for a terminal.
QString settingsListing(const QStringList& lines);

} // namespace kestrova
