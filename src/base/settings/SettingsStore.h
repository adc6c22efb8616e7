#pragma once

#include "base/platform/Platform.h"
#include "base/settings/SettingsValues.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace kestrova {

// The settings file Kestrova.ini of the program folder: creating it, reading it
// into the values, replacing a damaged one by the defaults, saving, and the
// deletion hold while the values in force are only a guess. Knows no control:
// whoever shows the lines follows linesTaken. It alone changes the values in force,
// and signals each line whose values a reading or a change made different.
class SettingsStore : public QObject {
    Q_OBJECT
    // Before `values`, which refers to it.
    SettingsValues values_;

public:
    SettingsStore(const Platform& platform, QString programFolder);

    void createSettingsFile();
    // Reads the file, made first when missing; a damaged file is kept as .bak and
    // replaced by the defaults. Says the deletion hold in the event log while it lasts.
    void readSettings();
    // Writes the lines, the note of line 1 included; false when the file could not
    // be written (the old file is then kept whole). Once saved, the values are the
    // user's own and the hold ends.
    bool saveLines(const QStringList& lines);

    // Why the deletion pass must not delete now, empty when it may: the settings in
    // force are only a guess (the defaults after a damaged file until they have been
    // saved, or a minimum time or day count that is no number).
    QString deletionHold() const;

    QString filePath() const;
    // Beside the settings file while it holds the defaults written for a damaged
    // file, so that a restart still knows they are not the user's own.
    QString guessMarkerPath() const;
    const QString& programFolder() const { return programFolder_; }

    // The values in force, for reading; they change through apply and change only.
    const SettingsValues& values{values_};
    // Takes these values in force and signals changed for each line whose values differ.
    void apply(const SettingsValues& next);
    // Changes some of the values in force as apply does: a change the program makes
    // itself (a recording counted, a pin refused) or one the user's edit takes at once.
    void change(const std::function<void(SettingsValues& values)>& edit);

signals:
    // The values of the line of that key (SettingsRow::key) changed: by a reading,
    // emitted before linesTaken, or by an apply or a change.
    void changed(const QString& key);
    // The lines 1 to 30 were taken into the values; emitted before readSettings goes on.
    void linesTaken(const QStringList& lines);

private:
    // False, with nothing taken, when the file is short or a line is damaged.
    bool applyLines(const QStringList& lines);
    // The defaults in place of a file that could not be used; a name that is no
    // plain file (a FIFO, a folder) is reported as such.
    void handleDamagedFile(bool notAFile);
    bool writeLines(const QStringList& lines, const QString& consequence = QString());
    // How the deletion hold ends, for the event log.
    QString holdAdvice() const;

    const Platform platform_;
    const QString programFolder_;
    bool damagedDefaults_ = false;
    SettingsGuesses guesses_;
};

} // namespace kestrova
