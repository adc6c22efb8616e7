#include "base/common/TimerWait.h"

#include <algorithm>

namespace kestrova {

void startTimerAfter(QTimer& timer, std::chrono::milliseconds wait) {
    timer.start(std::clamp(wait, std::chrono::milliseconds(0), kLongestTimerWait));
}

} // namespace kestrova
