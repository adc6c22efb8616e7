#pragma once

#include <QDateTime>
#include <optional>

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
    // Milliseconds of a clock that never jumps, for telling how far the wall clock
    // moved against it; only differences mean anything.
    virtual qint64 steadyMsecs() const = 0;
    // Whether the system has set its clock from a time source: nullopt where the
    // system does not say.
    virtual std::optional<bool> isSynchronised() const = 0;
};

} // namespace kestrova
