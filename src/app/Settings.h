#pragma once

#include "settings/SettingsValues.h"

#include <QString>
#include <QStringList>

namespace kestrova {

class Program;

// The settings file: creating it, reading and applying it to the controls, and
// saving the controls back.
class Settings {
public:
    explicit Settings(Program& program);

    void createSettingsFile();
    void readSettings();
    // False when the file could not be written; the old file is then kept whole
    // and the edits stay in the form.
    bool saveSettings();

    // Why the deletion pass must not delete now, empty when it may: the settings in
    // force are only a guess (the defaults after a damaged file until the form has
    // been saved, or a minimum time or day count that is no number).
    QString deletionHold() const;

    QString filePath() const;
    // Beside the settings file while it holds the defaults written for a damaged
    // file, so that a restart still knows they are not the user's own.
    QString guessMarkerPath() const;

    SettingsValues values;

private:
    // Takes lines 2 to 30 into the values, the controls and what they change at
    // once; false, with nothing taken, when the file is short or a line is damaged.
    bool applyLines(const QStringList& lines);
    // The defaults in place of a file that could not be used; a name that is no
    // plain file (a FIFO, a folder) is reported as such.
    void handleDamagedFile(bool notAFile);
    void runClosingSteps();
    bool writeLines(const QStringList& lines, const QString& consequence = QString());
    QStringList currentLines();

    Program& program_;
    bool damagedDefaults_ = false;
    SettingsGuesses guesses_;
};

} // namespace kestrova
