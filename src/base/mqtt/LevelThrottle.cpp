#include "base/mqtt/LevelThrottle.h"

#include "base/common/TimerWait.h"

#include <utility>

namespace kestrova {

LevelThrottle::LevelThrottle(std::function<void(int level)> send, std::chrono::milliseconds gap)
    : send_(std::move(send)), gap_(gap) {
    later_.setSingleShot(true);
    connect(&later_, &QTimer::timeout, this, &LevelThrottle::sendPending);
}

void LevelThrottle::take(int level) {
    pending_ = level;
    if (later_.isActive()) {
        return;
    }
    const std::chrono::milliseconds since{sinceSent_.isValid() ? sinceSent_.elapsed() : gap_.count()};
    if (since >= gap_) {
        sendPending();
    } else {
        startTimerAfter(later_, gap_ - since);
    }
}

void LevelThrottle::sendPending() {
    if (pending_ == sent_) {
        return;
    }
    sent_ = pending_;
    sinceSent_.start();
    send_(sent_);
}

} // namespace kestrova
