#include "base/common/BatchedTimer.h"

#include <algorithm>
#include <climits>

namespace kestrova {

BatchedTimer::BatchedTimer(QObject* parent, int intervalMs, int wakeSpacingMs)
    : QObject(parent), interval_(intervalMs), wakeSpacing_(std::max(wakeSpacingMs, 1)) {
    connect(&wake_, &QTimer::timeout, this, [this] { emit ticksDue(ticksPerWake()); });
}

int BatchedTimer::ticksPerWake() const {
    if (interval_ <= 0) {
        return 0;
    }
    const int ticks = wakeSpacing_ / interval_ + (wakeSpacing_ % interval_ != 0 ? 1 : 0);
    // Long intervals are not stretched past what a QTimer can hold.
    return std::max(1, std::min(ticks, INT_MAX / interval_));
}

int BatchedTimer::wakeInterval() const {
    return interval_ * ticksPerWake();
}

void BatchedTimer::setInterval(int milliseconds) {
    interval_ = milliseconds;
    if (!wake_.isActive()) {
        return;
    }
    if (interval_ <= 0) {
        wake_.stop();
    } else {
        wake_.start(wakeInterval());
    }
}

void BatchedTimer::start() {
    if (interval_ > 0) {
        wake_.start(wakeInterval());
    }
}

void BatchedTimer::stop() {
    wake_.stop();
}

} // namespace kestrova
