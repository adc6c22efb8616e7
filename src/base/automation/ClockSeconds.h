#pragma once

#include <QDateTime>
#include <optional>

namespace kestrova {

// Hands out every second of the clock once and in order, however the timer's
// ticks fall: several ticks within one second get it once, and a tick that comes
// late also gets the seconds it missed.
class ClockSeconds {
public:
    // Seconds the clock may move on between two ticks and still be caught up;
    // beyond that the clock was set, and only the second it reads now is due.
    static constexpr qint64 kCatchUpSeconds = 3600;
    // A clock set back by up to this much waits for the seconds already handed out.
    static constexpr qint64 kStepBackSeconds = 60;

    // The next second not handed out yet, up to the second of `now`; nothing once
    // that second has been handed out.
    std::optional<QDateTime> next(const QDateTime& now);

private:
    QDateTime last_;
};

// The time with its milliseconds cut off.
QDateTime wholeSecond(const QDateTime& time);

} // namespace kestrova
