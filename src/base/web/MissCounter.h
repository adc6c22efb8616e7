#pragma once

#include <QtGlobal>

namespace kestrova {

// How a count of wrong passwords slows its clients down: the misses that cost nothing,
// the wait after the first miss beyond them (doubled by each further one, up to the
// longest), and the time after which one miss is forgotten.
struct MissRule {
    int freeMisses = 0;
    qint64 firstWaitMs = 0;
    qint64 longestWaitMs = 0;
    qint64 forgetOneMs = 0;
};

// Wrong passwords of one address, one network or of all clients, as a leaky bucket:
// every forgetOneMs one miss runs out, so whoever stops guessing gets back in. A check
// still running counts as a miss until it is settled, so requests sent side by side get
// no more checks than requests sent one after the other.
class MissCounter {
public:
    // A check admitted but never settled holds its place no longer than this.
    static constexpr qint64 kLongestCheckMs = 60 * 1000;
    // The wait when only checks still running stand in the way.
    static constexpr qint64 kRunningCheckWaitMs = 1000;

    // Milliseconds until another check may start; 0 when it may start now.
    qint64 waitMs(const MissRule& rule, qint64 now);
    void startCheck(qint64 now);
    void finishCheck();
    // The wait the miss brings on, 0 while the misses are free.
    qint64 recordMiss(const MissRule& rule, qint64 now);
    bool isForgotten(const MissRule& rule, qint64 now);
    // Misses not yet run out, or a wait they brought on; checks still running are no misses.
    bool hasMissed(const MissRule& rule, qint64 now);
    int runningChecks(const MissRule& rule, qint64 now);

private:
    void catchUp(const MissRule& rule, qint64 now);

    int misses_ = 0;
    qint64 forgottenAt_ = 0; // when the last miss ran out, or the first came in
    qint64 blockedUntil_ = 0;
    int running_ = 0;
    qint64 lastStart_ = 0;
};

} // namespace kestrova
