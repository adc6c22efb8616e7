#pragma once

#include "base/settings/NamedSetting.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

// The alarms' settings file beside Kestrova.ini, one "key=value" a line:
// "ohne_aufnahme_stunden" the hours without a filed recording that raise an alarm,
// "tage_frei" the days the disk must still hold at the recent rate (0 switches
// either off), "bei_alarm" the command run as an alarm starts or ends (none: off).
struct AlarmSettings {
    int quietHours = 12;
    int daysFree = 7;
    QString command;
    // German, one line each: why the file was not read, or a value not taken (the
    // default stands then).
    QStringList problems;

    bool runsCommand() const { return !command.trimmed().isEmpty(); }
};

QString alarmSettingsPath(const QString& programFolder);
// Reads a plain file only, and never waits on a FIFO.
AlarmSettings readAlarmSettings(const QString& path);
// The lines of the file as the command line sets them ("alarm.tage_frei"); the
// reading takes the same keys.
std::vector<NamedSetting> alarmSettingLines();
// German, why the value cannot stand on the key's line; empty when it can.
QString alarmValueProblem(const QString& key, const QString& value);

} // namespace kestrova
