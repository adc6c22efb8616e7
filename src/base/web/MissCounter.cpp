#include "base/web/MissCounter.h"

#include <algorithm>

namespace kestrova {

namespace {

// Far beyond any longest wait, and far from overflowing.
constexpr int kMostDoublings = 20;

} // namespace

qint64 MissCounter::waitMs(const MissRule& rule, qint64 now) {
    catchUp(rule, now);
    if (blockedUntil_ > now) {
        return blockedUntil_ - now;
    }
    if (running_ > 0 && misses_ + running_ >= rule.freeMisses) {
        return kRunningCheckWaitMs;
    }
    return 0;
}

void MissCounter::startCheck(qint64 now) {
    ++running_;
    lastStart_ = now;
}

void MissCounter::finishCheck() {
    running_ = std::max(0, running_ - 1);
}

qint64 MissCounter::recordMiss(const MissRule& rule, qint64 now) {
    catchUp(rule, now);
    if (misses_ == 0) {
        forgottenAt_ = now;
    }
    ++misses_;
    if (misses_ < rule.freeMisses) {
        return 0;
    }
    const int doublings = std::min(misses_ - rule.freeMisses, kMostDoublings);
    const qint64 wait = std::min(rule.longestWaitMs, rule.firstWaitMs << doublings);
    blockedUntil_ = std::max(blockedUntil_, now + wait);
    return blockedUntil_ - now;
}

bool MissCounter::isForgotten(const MissRule& rule, qint64 now) {
    catchUp(rule, now);
    return misses_ == 0 && running_ == 0 && blockedUntil_ <= now;
}

bool MissCounter::hasMissed(const MissRule& rule, qint64 now) {
    catchUp(rule, now);
    return misses_ > 0 || blockedUntil_ > now;
}

int MissCounter::runningChecks(const MissRule& rule, qint64 now) {
    catchUp(rule, now);
    return running_;
}

void MissCounter::catchUp(const MissRule& rule, qint64 now) {
    if (running_ > 0 && now - lastStart_ > kLongestCheckMs) {
        running_ = 0;
    }
    if (misses_ == 0) {
        return;
    }
    const qint64 runOut = (now - forgottenAt_) / rule.forgetOneMs;
    if (runOut >= misses_) {
        misses_ = 0;
        return;
    }
    misses_ -= static_cast<int>(runOut);
    forgottenAt_ += runOut * rule.forgetOneMs;
}

} // namespace kestrova
