#pragma once

#include "base/automation/ClockSeconds.h"
#include "base/common/RepeatingTimer.h"
#include "base/platform/Platform.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kestrova {

class Archive;
class HeldSounds;
class Transmitter;

// The nightly list refresh and the hourly transmission from the schedule file.
// It needs no window.
class TimedActions : public QObject {
    Q_OBJECT
public:
    // The schedule file and the relative names in it are taken from `programFolder`.
    TimedActions(const Platform& platform, const QString& programFolder, Archive& archive,
                 Transmitter& transmitter, HeldSounds& sounds);

    // Looked for in the program folder, whatever the case of its name.
    static constexpr const char* kScheduleFile = "KV.DAT";
    // A schedule is three short lines; a larger file is read only this far.
    static constexpr qint64 kMaxScheduleBytes = 1 << 20;
    // The pause between the two files: 275 ticks of 1 ms, sent as silence.
    static constexpr int kPauseTicks = 275;
    static constexpr int kPauseTickMs = 1;
    // A transmission this many seconds overdue is left out rather than sent late.
    static constexpr qint64 kLateTransmissionSeconds = 10;

    void clearSchedule();
    void loadTimedAction();
    // Runs from the start of the program to its end.
    void startTicking();
    // As the program ends: no further tick, nor a further second of one under way.
    void stopTimers() {
        tmr_Zeit.stop();
        ended_ = true;
    }
    void tmr_Zeit_Timer();
    void runTimedAction();

    QString actionTime;
    QString actionFirstFile;
    QString actionSecondFile;

    // For the tests, which look at the timer but never drive it.
    const QTimer& clockTimer() const { return tmr_Zeit; }

private:
    QString scheduleFilePath() const;
    void runSecond(const QDateTime& second, qint64 secondsLate);
    void transmit();
    QString resolved(const QString& path) const;

    const Platform platform_;
    const QString programFolder_;
    Archive& archive_;
    Transmitter& transmitter_;
    HeldSounds& sounds_;
    ClockSeconds seconds_;
    // The instant's second at the last look at the local time.
    std::optional<qint64> lookedSecond_;
    // The sound playback keeps events running; no tick may start anything meanwhile.
    bool transmitting_ = false;
    bool ended_ = false;
    // The level meter's wake-up spacing: its ticks fall onto the meter's wake-ups
    // and cost no wake-ups of their own.
    RepeatingTimer tmr_Zeit{"tmr_Zeit", platform_.wakeSpacingMs()};
};

} // namespace kestrova
