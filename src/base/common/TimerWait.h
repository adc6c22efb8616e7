#pragma once

#include <QTimer>
#include <chrono>

namespace kestrova {

// The longest wait a timer is started with. Qt 6.4 narrows a longer wait to an
// int, which wraps past 24.8 days into an interval that never fires; a caller
// waiting longer looks again when the timer fires.
inline constexpr std::chrono::milliseconds kLongestTimerWait = std::chrono::hours(24);

// Starts the timer after a computed wait, held to [0, kLongestTimerWait]: a wait
// already past fires at once.
void startTimerAfter(QTimer& timer, std::chrono::milliseconds wait);

} // namespace kestrova
