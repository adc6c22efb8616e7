#pragma once

#include "base/web/MissCounter.h"

#include <QHash>
#include <QHostAddress>

namespace kestrova {

// Miss counters by address or by network, all under one rule. Strangers choose the
// keys, so the table holds at most kMostRemembered of them: when it is full of counts
// still running, a new key is not counted here (the wider counts still see it).
class MissTable {
public:
    static constexpr qsizetype kMostRemembered = 1000;

    explicit MissTable(const MissRule& rule) : rule_(rule) {}

    // Milliseconds until a check for key may start; 0 when it may start now.
    qint64 waitMs(const QHostAddress& key, qint64 now);
    void startCheck(const QHostAddress& key, qint64 now);
    void finishCheck(const QHostAddress& key);
    // The wait the miss brings on for key, 0 while its misses are free.
    qint64 recordMiss(const QHostAddress& key, qint64 now);
    void forget(const QHostAddress& key) { counters_.remove(key); }

private:
    MissCounter* counterMadeFor(const QHostAddress& key, qint64 now);

    const MissRule rule_;
    QHash<QHostAddress, MissCounter> counters_;
};

} // namespace kestrova
