#pragma once

#include "base/web/MissCounter.h"

#include <QByteArray>
#include <QHash>

namespace kestrova {

// Miss counters by address, by network or by session, all under one rule. Strangers
// choose the keys, so the table holds at most kMostRemembered of them: when it is full of counts
// still running, a new key is not counted here (the wider counts still see it).
class MissTable {
public:
    static constexpr qsizetype kMostRemembered = 1000;

    explicit MissTable(const MissRule& rule) : rule_(rule) {}

    // Milliseconds until a check for key may start; 0 when it may start now.
    qint64 waitMs(const QByteArray& key, qint64 now);
    void startCheck(const QByteArray& key, qint64 now);
    void finishCheck(const QByteArray& key);
    // The wait the miss brings on for key, 0 while its misses are free.
    qint64 recordMiss(const QByteArray& key, qint64 now);
    void forget(const QByteArray& key) { counters_.remove(key); }
    // Whether key has neither misses nor a wait (a check still running is no miss).
    bool isClean(const QByteArray& key, qint64 now);
    int runningChecks(const QByteArray& key, qint64 now);

private:
    MissCounter* counterMadeFor(const QByteArray& key, qint64 now);

    const MissRule rule_;
    QHash<QByteArray, MissCounter> counters_;
};

} // namespace kestrova
