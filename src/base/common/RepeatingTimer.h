#pragma once

#include <QString>
#include <QTimer>
#include <climits>

namespace kestrova {

// True for a number of milliseconds a timer takes as its interval.
inline bool isTimerInterval(long long milliseconds) {
    return milliseconds >= 0 && milliseconds <= INT_MAX;
}

// A repeating timer under its own name with its interval set; the subsystem that
// owns it starts and stops it and handles its ticks.
class RepeatingTimer : public QTimer {
public:
    RepeatingTimer(const char* name, int intervalMs) {
        setObjectName(QString::fromUtf8(name));
        setInterval(intervalMs);
        setSingleShot(false);
    }
};

} // namespace kestrova
