#pragma once

#include "app/SettingsValues.h"

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
    void saveSettings();

    QString filePath() const;

    SettingsValues values;

private:
    // Applies lines 2 to 30 in order; false when the file is short or a control
    // refuses its value (the values applied so far stay).
    bool applyLines(const QStringList& lines);
    bool applyLine(int number, const QString& text);
    bool applyPins(const QString& text);
    bool applyParrotState(const QString& text);
    bool applyCheckBox(int number, const QString& text);
    void handleDamagedFile();
    void runClosingSteps();
    bool writeLines(const QStringList& lines);
    QStringList currentLines();

    Program& program_;
};

} // namespace kestrova
