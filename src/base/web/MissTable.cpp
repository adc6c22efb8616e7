#include "base/web/MissTable.h"

namespace kestrova {

qint64 MissTable::waitMs(const QByteArray& key, qint64 now) {
    const auto found = counters_.find(key);
    return found == counters_.end() ? 0 : found.value().waitMs(rule_, now);
}

void MissTable::startCheck(const QByteArray& key, qint64 now) {
    if (MissCounter* counter = counterMadeFor(key, now)) {
        counter->startCheck(now);
    }
}

void MissTable::finishCheck(const QByteArray& key) {
    const auto found = counters_.find(key);
    if (found != counters_.end()) {
        found.value().finishCheck();
    }
}

qint64 MissTable::recordMiss(const QByteArray& key, qint64 now) {
    MissCounter* counter = counterMadeFor(key, now);
    return counter == nullptr ? 0 : counter->recordMiss(rule_, now);
}

bool MissTable::isClean(const QByteArray& key, qint64 now) {
    const auto found = counters_.find(key);
    return found == counters_.end() || !found.value().hasMissed(rule_, now);
}

int MissTable::runningChecks(const QByteArray& key, qint64 now) {
    const auto found = counters_.find(key);
    return found == counters_.end() ? 0 : found.value().runningChecks(rule_, now);
}

MissCounter* MissTable::counterMadeFor(const QByteArray& key, qint64 now) {
    const auto found = counters_.find(key);
    if (found != counters_.end()) {
        return &found.value();
    }
    if (counters_.size() >= kMostRemembered) {
        counters_.removeIf([this, now](auto entry) { return entry.value().isForgotten(rule_, now); });
    }
    if (counters_.size() >= kMostRemembered) {
        return nullptr;
    }
    return &counters_[key];
}

} // namespace kestrova
