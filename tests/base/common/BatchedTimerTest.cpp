// The meter's timer: the interval it keeps, how it groups ticks into wake-ups,
// and that it never spins at an interval of 0; and computed waits.
#include "base/common/BatchedTimer.h"

#include "base/common/TimerWait.h"

#include <QSignalSpy>
#include <climits>
#include <gtest/gtest.h>
#include <utility>

namespace kestrova::test {
namespace {

TEST(BatchedTimer, WakesForAWholeNumberOfIntervalsAtLeastTheSpacing) {
    BatchedTimer timer(nullptr, 10, 50);
    const std::pair<int, int> intervalsAndTicks[] = {{10, 5}, {20, 3}, {25, 2}, {50, 1}, {1000, 1}, {1, 50}};
    for (const auto& [interval, ticks] : intervalsAndTicks) {
        timer.setInterval(interval);
        EXPECT_EQ(timer.interval(), interval);
        EXPECT_EQ(timer.ticksPerWake(), ticks) << interval;
        EXPECT_EQ(timer.wakeInterval(), interval * ticks) << interval;
    }
    // The longest interval a QTimer takes is not multiplied past it.
    timer.setInterval(INT_MAX);
    EXPECT_EQ(timer.wakeInterval(), INT_MAX);
}

TEST(BatchedTimer, AnIntervalOfZeroLeavesItStopped) {
    BatchedTimer timer(nullptr, 0, 50);
    timer.start();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(timer.ticksPerWake(), 0);
    timer.setInterval(10);
    timer.start();
    EXPECT_TRUE(timer.isActive());
    timer.setInterval(0);
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(timer.interval(), 0);
}

TEST(BatchedTimer, ReportsTheTicksOfEachWakeUp) {
    BatchedTimer timer(nullptr, 1, 3);
    QSignalSpy spy(&timer, &BatchedTimer::ticksDue);
    timer.start();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.first().first().toInt(), 3);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
}

// A wait longer than Qt's int holds (which would wrap into one that never fires),
// or one already past, still starts the timer.
TEST(TimerWait, AWaitTooLongOrAlreadyPastStillStartsTheTimer) {
    QTimer timer;
    startTimerAfter(timer, std::chrono::hours(24 * 40));
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.intervalAsDuration(), kLongestTimerWait);
    startTimerAfter(timer, std::chrono::milliseconds(-5));
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 0);
}

} // namespace
} // namespace kestrova::test
