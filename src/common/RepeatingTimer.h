#pragma once

#include <QString>
#include <QTimer>

namespace kestrova {

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
