#pragma once

#include "base/settings/NamedSetting.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <vector>

namespace kestrova {

// The settings file of the command run after each recording, beside Kestrova.ini,
// one "key=value" a line: "nach_aufnahme" is the command (none: off), "zeitlimit"
// the seconds one run may take, "gleichzeitig" how many run at once (1 or 2).
struct AfterCommandSettings {
    QString command;
    std::chrono::milliseconds timeLimit{std::chrono::minutes(10)};
    int atOnce = 2;
    // German, one line each: why the file was not read, or a value not taken (the
    // default stands then).
    QStringList problems;

    bool isOn() const { return !command.trimmed().isEmpty(); }
};

QString afterCommandSettingsPath(const QString& programFolder);
// Reads a plain file only, and never waits on a FIFO.
AfterCommandSettings readAfterCommandSettings(const QString& path);
// The lines of the file as the command line sets them ("nach_aufnahme.zeitlimit");
// the reading takes the same keys.
std::vector<NamedSetting> afterCommandSettingLines();
// German, why the value cannot stand on the key's line (as --setze may check it);
// empty when it can.
QString afterCommandValueProblem(const QString& key, const QString& value);

} // namespace kestrova
