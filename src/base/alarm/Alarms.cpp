#include "base/alarm/Alarms.h"

#include "base/alarm/FilingRate.h"
#include "base/archive/Archive.h"
#include "base/desktop/Clock.h"
#include "base/desktop/EventLog.h"
#include "base/files/DiskSpace.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsValues.h"

#include <algorithm>
#include <utility>

namespace kestrova {

namespace {

constexpr qint64 kHourMs = 60LL * 60 * 1000;
// A timer waits at most a day; a longer quiet time is looked at again then.
constexpr qint64 kLongestWaitMs = 24 * kHourMs;

std::size_t indexOf(AlarmKind kind) {
    return static_cast<std::size_t>(kind);
}

QString hoursText(int hours) {
    return hours == 1 ? QStringLiteral("1 Stunde") : QStringLiteral("%1 Stunden").arg(hours);
}

QString daysText(int days) {
    return days == 1 ? QStringLiteral("1 Tag") : QStringLiteral("%1 Tage").arg(days);
}

} // namespace

Alarms::Alarms(const AlarmSources& sources, const AlarmSettings& settings)
    : sources_(sources), settings_(settings),
      command_(settings.command, sources.programFolder, sources.events) {
    for (const QString& problem : settings_.problems) {
        sources_.events.record(EventPriority::Warning, problem);
    }
    quietTimer_.setSingleShot(true);
    connect(&quietTimer_, &QTimer::timeout, this, &Alarms::reviewQuiet);
    diskTimer_.setInterval(kDiskLook);
    connect(&diskTimer_, &QTimer::timeout, this, &Alarms::reviewDisk);
}

Alarms::~Alarms() = default;

void Alarms::start() {
    if (std::exchange(started_, true)) {
        return;
    }
    lastFiled_ = sources_.clock.steadyMsecs();
    recorderSwitch_ = sources_.recorder.isSwitchedOn();
    subscribe();
    set(AlarmKind::DeletionsHeld, !sources_.archive.deletionHold().isEmpty());
    review();
    diskTimer_.start();
}

void Alarms::subscribe() {
    connect(&sources_.archive, &Archive::recordingFiled, this, [this] {
        lastFiled_ = sources_.clock.steadyMsecs();
        reviewQuiet();
    });
    // The list pass lists what the rate is taken from.
    connect(&sources_.archive, &Archive::passFinished, this, &Alarms::reviewDisk);
    connect(&sources_.archive, &Archive::deletionHoldChanged, this,
            [this](const QString& reason) { set(AlarmKind::DeletionsHeld, !reason.isEmpty()); });
    // The meter knows when the input stops delivering; it says why, empty once it
    // delivers or is closed. Closed by the user's switch, nothing is expected of it; by
    // the program's end, which does not switch through the box, it has not come back.
    const Recorder& recorder = sources_.recorder;
    connect(&recorder, &Recorder::switchChanged, this, [this](bool on) {
        recorderSwitch_ = on;
        switchedOffByUser_ = false;
    });
    connect(&recorder, &Recorder::switchingOff, this, [this] { switchedOffByUser_ = true; });
    connect(&recorder.meter(), &LevelMeterControl::inputNoteChanged, this, [this](const QString& note) {
        if (note.isEmpty() && !recorderSwitch_ && !switchedOffByUser_) {
            return;
        }
        set(AlarmKind::InputDead, !note.isEmpty());
    });
}

void Alarms::review() {
    reviewQuiet();
    reviewDisk();
}

// Judged on the monotonic clock alone: a wall clock set back or forth moves nothing.
void Alarms::reviewQuiet() {
    quietTimer_.stop();
    if (settings_.quietHours == 0) {
        return;
    }
    const qint64 limit = settings_.quietHours * kHourMs;
    const qint64 quiet = sources_.clock.steadyMsecs() - lastFiled_;
    set(AlarmKind::NoRecording, quiet >= limit);
    if (quiet < limit) {
        quietTimer_.start(std::chrono::milliseconds(std::min(limit - quiet, kLongestWaitMs)));
    }
}

void Alarms::reviewDisk() {
    if (settings_.daysFree == 0) {
        return;
    }
    const SettingsValues& values = sources_.settings;
    const std::optional<qint64> free = sources_.disk.freeBytes(values.docFolder);
    if (!free) {
        return;
    }
    const int copies = values.archiveRecordings != 0 ? 2 : 1;
    const std::optional<double> perDay = bytesFiledPerDay(
        sources_.archive.recordingList().entries(), sources_.clock.now(), values.meterSampleRate, copies);
    set(AlarmKind::DiskFilling, perDay && static_cast<double>(*free) < *perDay * settings_.daysFree);
}

void Alarms::set(AlarmKind kind, bool on) {
    bool& state = on_.at(indexOf(kind));
    if (state == on) {
        return;
    }
    state = on;
    const Alarm alarm = alarmOf(kind);
    sources_.events.record(on ? EventPriority::Warning : EventPriority::Notice,
                           (on ? QStringLiteral("Alarm: ") : QStringLiteral("Alarm beendet: ")) + alarm.text);
    command_.run(alarm, on, activeKeys());
    emit alarmChanged(alarm, on);
}

Alarm Alarms::alarmOf(AlarmKind kind) const {
    switch (kind) {
    case AlarmKind::NoRecording:
        return {kind, QStringLiteral("keine_aufnahme"),
                QStringLiteral("Keine Aufnahme seit %1").arg(hoursText(settings_.quietHours))};
    case AlarmKind::InputDead:
        return {kind, QStringLiteral("eingang"), QStringLiteral("Eingang liefert nichts")};
    case AlarmKind::DiskFilling:
        return {kind, QStringLiteral("speicherplatz"),
                QStringLiteral("Speicherplatz reicht für weniger als %1").arg(daysText(settings_.daysFree))};
    case AlarmKind::DeletionsHeld:
        break;
    }
    return {AlarmKind::DeletionsHeld, QStringLiteral("loeschsperre"), QStringLiteral("Löschen angehalten")};
}

QList<Alarm> Alarms::active() const {
    QList<Alarm> alarms;
    for (const AlarmKind kind : kAlarmKinds) {
        if (on_.at(indexOf(kind))) {
            alarms << alarmOf(kind);
        }
    }
    return alarms;
}

QStringList Alarms::activeKeys() const {
    QStringList keys;
    for (const Alarm& alarm : active()) {
        keys << alarm.key;
    }
    return keys;
}

QStringList Alarms::activeTexts() const {
    QStringList texts;
    for (const Alarm& alarm : active()) {
        texts << alarm.text;
    }
    return texts;
}

} // namespace kestrova
