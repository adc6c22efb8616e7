#pragma once

#include <QDateTime>
#include <QTime>
#include <optional>

namespace kestrova {

// Hands out every second of the clock once and in order, however the timer's
// ticks fall: several ticks within one second get it once, and a tick that comes
// late also gets the seconds it missed. What it does when the clock is set:
// - set on by up to kCatchUpSeconds: the seconds in between are handed out, late;
// - set on further (the time came from the network only now): the seconds are not
//   replayed, but the last daily second passed on the way (the night's work) is
//   handed out once before the second the clock reads, so the date's change is
//   never skipped;
// - set back by up to kStepBackSeconds: nothing until the clock reaches the
//   seconds already handed out again, so nothing is handed out twice;
// - set back further (the clock was far ahead): it starts over at once rather than
//   waiting that long.
class ClockSeconds {
public:
    static constexpr qint64 kCatchUpSeconds = 3600;
    // As long as an hour: an hourly second handed out before a step back of less
    // comes round again only after the clock has passed it.
    static constexpr qint64 kStepBackSeconds = 3600;

    // dailySecond: the time of day that a step forward never skips.
    explicit ClockSeconds(QTime dailySecond);

    // The next second not handed out yet, up to the second of `now`; nothing once
    // that second has been handed out.
    std::optional<QDateTime> next(const QDateTime& now);

private:
    // The daily second strictly between last_ and `second`, the latest one; invalid if none.
    QDateTime dailySecondBefore(const QDateTime& second) const;

    QTime dailySecond_;
    QDateTime last_;
};

// The time with its milliseconds cut off.
QDateTime wholeSecond(const QDateTime& time);

} // namespace kestrova
