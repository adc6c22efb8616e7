#pragma once

#include <QObject>
#include <QTimer>

namespace kestrova {

// A repeating timer for ticks too close together to wake the program for each:
// it keeps the interval it is given, but wakes only every `wakeSpacingMs` or so
// (a whole number of intervals, at least one) and then reports the ticks that
// fell due. The level meter listens for days; 20 wake-ups a second instead of a
// hundred are most of what it costs.
class BatchedTimer : public QObject {
    Q_OBJECT

public:
    BatchedTimer(QObject* parent, int intervalMs, int wakeSpacingMs);

    int interval() const { return interval_; }
    // Takes effect at once when the timer runs, as with a QTimer.
    void setInterval(int milliseconds);
    // An interval of 0 or less leaves the timer stopped rather than spinning.
    void start();
    void stop();
    bool isActive() const { return wake_.isActive(); }
    // The time between wake-ups for the current interval; 0 while it cannot run.
    int wakeInterval() const;
    int ticksPerWake() const;

signals:
    void ticksDue(int count);

private:
    QTimer wake_;
    int interval_;
    int wakeSpacing_;
};

} // namespace kestrova
