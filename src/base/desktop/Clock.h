#pragma once

#include <QDateTime>

namespace kestrova {

// Local date and time, and the program's delay service.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // The same instant as now(), without the local time: reading that looks at the
    // system's zone file each time, which a caller asking many times a second avoids.
    virtual qint64 msecsSinceEpoch() const { return now().toMSecsSinceEpoch(); }
    // Blocks the calling thread for the given time (the real clock keeps the
    // user interface painted while it waits; the fake only moves its time on).
    virtual void pause(int milliseconds) = 0;
};

} // namespace kestrova
