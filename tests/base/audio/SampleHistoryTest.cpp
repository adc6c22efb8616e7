#include "base/audio/SampleHistory.h"

#include <gtest/gtest.h>
#include <numeric>

using kestrova::SampleHistory;

namespace {
std::vector<std::uint8_t> run(std::uint8_t first, std::size_t count) {
    std::vector<std::uint8_t> samples(count);
    std::iota(samples.begin(), samples.end(), first);
    return samples;
}
} // namespace

TEST(SampleHistory, KeepsTheNewestSamplesInOrderAcrossTheWrap) {
    SampleHistory history(8);
    history.append(run(0, 5));
    history.append(run(5, 6)); // wraps: 3..10 remain
    std::vector<std::uint8_t> dest(8);
    EXPECT_EQ(history.copyLatest(dest), 8u);
    EXPECT_EQ(dest, run(3, 8));
    std::vector<std::uint8_t> last(3);
    history.copyLatest(last);
    EXPECT_EQ(last, run(8, 3));
}

TEST(SampleHistory, ABlockLargerThanTheHistoryLeavesItsEnd) {
    SampleHistory history(4);
    history.append(run(0, 3));
    history.append(run(10, 9));
    std::vector<std::uint8_t> dest(4);
    history.copyLatest(dest);
    EXPECT_EQ(dest, run(15, 4));
}

TEST(SampleHistory, FewerSamplesThanAskedFillOnlyTheEnd) {
    SampleHistory history(16);
    history.append(run(1, 3));
    std::vector<std::uint8_t> dest(6, 99);
    EXPECT_EQ(history.copyLatest(dest), 3u);
    EXPECT_EQ(dest, (std::vector<std::uint8_t>{99, 99, 99, 1, 2, 3}));
    history.clear();
    EXPECT_EQ(history.copyLatest(dest), 0u);
    SampleHistory empty;
    empty.append(run(0, 4));
    EXPECT_EQ(empty.copyLatest(dest), 0u);
}

TEST(SampleHistory, ReadsTheHistoryAsItStoodSomeSamplesAgo) {
    SampleHistory history(8);
    history.append(run(0, 11)); // 3..10 remain, across the wrap
    std::vector<std::uint8_t> dest(3);
    EXPECT_EQ(history.copyLatest(dest, 2), 3u);
    EXPECT_EQ(dest, run(6, 3));
    EXPECT_EQ(history.copyLatest(dest, 6), 2u); // only 3 and 4 were there then
    EXPECT_EQ(dest, (std::vector<std::uint8_t>{6, 3, 4}));
    EXPECT_EQ(history.copyLatest(dest, 100), 0u);
}
