#pragma once

#include "base/settings/SettingsStore.h"
#include "base/settings/SettingsValues.h"

#include <QString>
#include <QStringList>

namespace kestrova {

class Program;

// The settings file as the forms show it: the circuit's store reads and writes it,
// this shows each reading on the controls and saves the controls back.
class Settings {
public:
    explicit Settings(Program& program);

    void createSettingsFile() { store_.createSettingsFile(); }
    void readSettings();
    // False when the file could not be written; the old file is then kept whole
    // and the edits stay in the form.
    bool saveSettings();

    // See SettingsStore::deletionHold.
    QString deletionHold() const { return store_.deletionHold(); }
    QString filePath() const { return store_.filePath(); }
    SettingsStore& store() { return store_; }
    QString guessMarkerPath() const { return store_.guessMarkerPath(); }

private:
    // The circuit's.
    SettingsStore& store_;

public:
    // The store's values; declared after it.
    const SettingsValues& values;

private:
    // Shows the lines taken on the controls and hands the values to what takes them at once.
    void showLines(const QStringList& lines);
    void runClosingSteps();
    QStringList currentLines();

    Program& program_;
};

} // namespace kestrova
