#pragma once

#include "base/desktop/Clock.h"

namespace kestrova {

// Before the first reading of the local time: without TZ, the C library looks at
// the system's zone file again at every reading, a look at the disk several times
// a second for as long as the program runs. TZ then names that same file; summer
// time changes as before, a zone newly chosen for the machine counts from the
// next start.
void readLocalZoneOnce();

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    qint64 msecsSinceEpoch() const override;
    void pause(int milliseconds) override;
    qint64 steadyMsecs() const override;
    std::optional<bool> isSynchronised() const override;
};

} // namespace kestrova
