#include "platform/InputHub.h"

#include "FakeInput.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

class InputHubTest : public ::testing::Test {
protected:
    test::FakeInput input;
    InputHub hub{input};
};

TEST_F(InputHubTest, MeterAndCaptureShareOneStream) {
    ASSERT_TRUE(hub.open(1, 11025));
    std::vector<std::uint8_t> captured;
    int rateSeen = 0;
    hub.addSink([&](std::span<const std::uint8_t> samples, int rate) {
        captured.insert(captured.end(), samples.begin(), samples.end());
        rateSeen = rate;
    });
    ASSERT_TRUE(hub.open(1, 22050)) << "the same device again";
    EXPECT_EQ(input.opens, 1);
    EXPECT_EQ(hub.sampleRate(), 11025);

    input.feed({1, 2, 3});
    hub.pump();
    std::array<std::uint8_t, 3> meter{};
    hub.latest(meter);
    EXPECT_EQ(captured, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(meter, (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(rateSeen, 11025);
    EXPECT_EQ(hub.received(), 3u);
}

TEST_F(InputHubTest, AnotherDeviceReplacesTheStream) {
    ASSERT_TRUE(hub.open(0, 8000));
    input.feed(10, 50);
    hub.pump();
    ASSERT_TRUE(hub.open(1, 8000));
    EXPECT_EQ(input.opens, 2);
    EXPECT_EQ(input.liveStreams, 1) << "the old device is released";
    EXPECT_TRUE(hub.since(0).empty()) << "no history from the old device";

    input.failing.insert(0);
    EXPECT_FALSE(hub.open(0, 8000));
    EXPECT_FALSE(hub.isOpen());
    EXPECT_EQ(input.liveStreams, 0);
}

TEST_F(InputHubTest, LatestLeavesTheBufferAloneUntilSamplesArrive) {
    std::array<std::uint8_t, 4> meter{9, 9, 9, 9};
    hub.latest(meter);
    ASSERT_TRUE(hub.open(0, 8000));
    hub.pump();
    hub.latest(meter);
    EXPECT_EQ(meter, (std::array<std::uint8_t, 4>{9, 9, 9, 9}));

    input.feed({1, 2});
    hub.pump();
    hub.latest(meter);
    EXPECT_EQ(meter, (std::array<std::uint8_t, 4>{9, 9, 1, 2})) << "fewer than asked: only the end";

    input.feed({3, 4, 5});
    hub.pump();
    hub.pump(); // nothing new keeps the same picture
    hub.latest(meter);
    EXPECT_EQ(meter, (std::array<std::uint8_t, 4>{2, 3, 4, 5}));
}

TEST_F(InputHubTest, SinceReachesBackAsFarAsTheHistory) {
    ASSERT_TRUE(hub.open(0, 8000));
    for (int i = 0; i < 30; ++i) {
        input.feed(1000, static_cast<std::uint8_t>(i));
        hub.pump();
    }
    const std::vector<std::uint8_t> held = hub.since(0);
    ASSERT_EQ(held.size(), 24000u) << "three seconds";
    EXPECT_EQ(held.front(), 6);
    std::vector<std::uint8_t> lastOnes(10, 28);
    lastOnes.resize(1010, 29);
    EXPECT_EQ(hub.since(28'990), lastOnes);
    EXPECT_TRUE(hub.since(30'000).empty());
}

} // namespace
} // namespace kestrova
