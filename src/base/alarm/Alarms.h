#pragma once

#include "base/alarm/Alarm.h"
#include "base/alarm/AlarmCommand.h"
#include "base/alarm/AlarmSettings.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <chrono>

namespace kestrova {

class Archive;
class Clock;
class DiskSpace;
class EventLog;
class Recorder;
struct SettingsValues;

// What the alarms watch, and where the program keeps its files.
struct AlarmSources {
    Recorder& recorder;
    Archive& archive;
    const SettingsValues& settings;
    EventLog& events;
    const Clock& clock;
    const DiskSpace& disk;
    QString programFolder;
};

// The alarms of a station nobody watches: no recording filed for hours, the input
// not delivering, the disk full within days, deletions held. It follows the
// recorder's and the archive's signals; only the time without a recording and the
// disk's room are looked at, on timers of the monotonic clock. Each alarm is told
// once as it starts and once as it ends: in the event log, to the command of
// KestrovaAlarm.ini, and to whoever follows alarmChanged (the page, MQTT).
class Alarms : public QObject {
    Q_OBJECT
public:
    // How often the disk's room is looked at: it fills over days.
    static constexpr std::chrono::minutes kDiskLook{10};

    Alarms(const AlarmSources& sources, const AlarmSettings& settings);
    ~Alarms() override;
    Alarms(const Alarms&) = delete;
    Alarms& operator=(const Alarms&) = delete;

    // Follows the recorder and the archive from now on; the time without a
    // recording counts from here.
    void start();
    // Looks at the time since the last filed recording and at the disk's room now,
    // as the timers do.
    void review();

    QList<Alarm> active() const;
    QStringList activeKeys() const;
    QStringList activeTexts() const;

    // For the tests, which look at the timers but never drive them.
    const QTimer& quietTimer() const { return quietTimer_; }

signals:
    // An alarm started (true) or ended.
    void alarmChanged(const kestrova::Alarm& alarm, bool started);

private:
    void subscribe();
    void reviewQuiet();
    void reviewDisk();
    void set(AlarmKind kind, bool on);
    Alarm alarmOf(AlarmKind kind) const;

    AlarmSources sources_;
    AlarmSettings settings_;
    AlarmCommand command_;
    std::array<bool, kAlarmKinds.size()> on_{};
    // The monotonic clock's reading at the start or the last filed recording.
    qint64 lastFiled_ = 0;
    QTimer quietTimer_;
    QTimer diskTimer_;
    // The recorder's switch, and whether the user's switch-off is under way.
    bool recorderSwitch_ = false;
    bool switchedOffByUser_ = false;
    bool started_ = false;
};

} // namespace kestrova
