#include "base/alarm/AlarmSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>

namespace kestrova {

namespace {

// A year: a station quiet for longer is not watched by hours.
constexpr int kMostQuietHours = 365 * 24;
constexpr int kMostDaysFree = 365;

// The number in value when it lies in [0, high]; a German refusal otherwise.
void takeNumber(int& target, const QString& key, const QString& value, int high, QStringList& problems) {
    bool numeric = false;
    const int number = value.toInt(&numeric);
    if (!numeric || number < 0 || number > high) {
        problems << QStringLiteral("alarm.%1=%2 wird nicht übernommen: erlaubt sind ganze Zahlen von 0 "
                                   "(aus) bis %3.")
                        .arg(key, value)
                        .arg(high);
        return;
    }
    target = number;
}

// A line of KestrovaAlarm.ini: its key, what --einstellungen says of it and how the
// reading takes a value that is not empty (an empty one leaves the default).
struct AlarmLine {
    QString key;
    QString meaning;
    void (*take)(AlarmSettings& settings, const QString& key, const QString& value);
};

using A = AlarmSettings;
using S = const QString;

const std::vector<AlarmLine>& alarmLines() {
    static const std::vector<AlarmLine> lines{
        {QStringLiteral("ohne_aufnahme_stunden"),
         QStringLiteral("Alarm, wenn so viele Stunden keine Aufnahme abgelegt wurde; 0: aus (12)"),
         [](A& a, S& k, S& v) { takeNumber(a.quietHours, k, v, kMostQuietHours, a.problems); }},
        {QStringLiteral("tage_frei"),
         QStringLiteral("Alarm, wenn der Platz auf dem Datenträger beim Aufnahmeaufkommen der letzten "
                        "7 Tage für weniger Tage reicht; 0: aus (7)"),
         [](A& a, S& k, S& v) { takeNumber(a.daysFree, k, v, kMostDaysFree, a.problems); }},
        {QStringLiteral("bei_alarm"),
         QStringLiteral("Befehl, wenn ein Alarm beginnt oder endet (sh -c; die Angaben in KESTROVA_ALARM, "
                        "KESTROVA_ALARM_TEXT, KESTROVA_ALARM_ZUSTAND …); leer: keiner"),
         [](A& a, S&, S& v) { a.command = v; }},
    };
    return lines;
}

} // namespace

QString alarmSettingsPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaAlarm.ini"));
}

AlarmSettings readAlarmSettings(const QString& path) {
    AlarmSettings settings;
    const NamedSettingsFile file = readNamedSettings(path);
    if (!file.readError.isEmpty()) {
        settings.problems << file.readError;
    }
    for (const AlarmLine& line : alarmLines()) {
        if (const QString value = file.value(line.key); !value.isEmpty()) {
            line.take(settings, line.key, value);
        }
    }
    return settings;
}

std::vector<NamedSetting> alarmSettingLines() {
    std::vector<NamedSetting> settings;
    for (const AlarmLine& line : alarmLines()) {
        const QString key = line.key;
        settings.push_back({.name = QStringLiteral("alarm.") + key,
                            .path = alarmSettingsPath,
                            .key = key,
                            .meaning = line.meaning,
                            .check = [key](const QString& value) { return alarmValueProblem(key, value); }});
    }
    return settings;
}

QString alarmValueProblem(const QString& key, const QString& value) {
    AlarmSettings settings;
    for (const AlarmLine& line : alarmLines()) {
        if (line.key == key && !value.trimmed().isEmpty()) {
            line.take(settings, line.key, value.trimmed());
        }
    }
    return settings.problems.join(QLatin1Char(' '));
}

} // namespace kestrova
