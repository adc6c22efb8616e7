#include "base/files/OpenFileLimit.h"

#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>

namespace kestrova {
namespace {

TEST(OpenFileLimit, TheSoftLimitIsRaisedToTheHardLimit) {
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    if (before.rlim_max == RLIM_INFINITY || before.rlim_max <= 256) {
        GTEST_SKIP() << "no hard limit above the lowered one";
    }
    struct rlimit lowered = before;
    lowered.rlim_cur = 256;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    EXPECT_EQ(openFileLimit(), 256U);
    EXPECT_EQ(raiseOpenFileLimit(), static_cast<std::size_t>(before.rlim_max));
    EXPECT_EQ(openFileLimit(), static_cast<std::size_t>(before.rlim_max));
    ::setrlimit(RLIMIT_NOFILE, &before);
}

TEST(OpenFileLimit, TheWebPageGetsWhatTheRecorderLeavesWithinBounds) {
    EXPECT_EQ(webConnectionBudget(1024), 256U);
    EXPECT_EQ(webConnectionBudget(400), 144U);
    EXPECT_EQ(webConnectionBudget(260), 16U);
    EXPECT_EQ(webConnectionBudget(100), 16U); // never below the reserve's underflow
    EXPECT_EQ(webConnectionBudget(std::numeric_limits<std::size_t>::max()), 256U);
}

} // namespace
} // namespace kestrova
