#include "base/audio/InputHub.h"

#include "support/FakeInput.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

class InputHubTest : public ::testing::Test {
protected:
    test::FakeInput input;
    qint64 now = 0;
    InputHub hub{input, [this] { return now; }};

    void pumpAt(qint64 ms) {
        now = ms;
        hub.pump();
    }
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
    EXPECT_TRUE(hub.inputUnavailable()) << "released, and tried again on the pumps to come";
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

TEST_F(InputHubTest, ADeafDeviceIsReleasedAndOpenedAgainUntilItDelivers) {
    ASSERT_TRUE(hub.open(1, 8000));
    std::size_t sunk = 0;
    hub.addSink([&](std::span<const std::uint8_t> samples, int) { sunk += samples.size(); });
    input.feed(400, 128);
    pumpAt(100);
    pumpAt(1099);
    EXPECT_FALSE(hub.inputLost()) << "a second without samples is allowed";
    pumpAt(1100);
    EXPECT_TRUE(hub.inputLost());
    EXPECT_EQ(input.liveStreams, 0) << "the device is released";
    EXPECT_TRUE(hub.isOpen()) << "still held for the meter and the capture";
    EXPECT_EQ(hub.sampleRate(), 8000);
    EXPECT_TRUE(hub.since(0).empty()) << "no pre-roll across the gap";

    input.failing.insert(1);
    pumpAt(2000);
    EXPECT_EQ(input.opens, 1) << "not before a second has passed";
    pumpAt(2100);
    pumpAt(2600);
    EXPECT_EQ(input.lastPosition, 1);
    input.failing.clear();
    pumpAt(3100);
    EXPECT_EQ(input.opens, 2);
    EXPECT_TRUE(hub.inputLost()) << "open, but nothing delivered yet";
    pumpAt(8099);
    EXPECT_EQ(input.liveStreams, 1) << "a new stream has five seconds for its first block";
    pumpAt(8100);
    EXPECT_EQ(input.liveStreams, 0) << "opened but silent: released again";
    pumpAt(9100);
    input.feed(100, 128);
    pumpAt(9200);
    EXPECT_FALSE(hub.inputLost());
    EXPECT_EQ(input.opens, 3);
    EXPECT_EQ(sunk, 500u);
    EXPECT_EQ(hub.received(), 500u);

    input.feed(10, 128);
    input.fail();
    pumpAt(9210);
    EXPECT_FALSE(hub.inputLost()) << "what a failing device still had is delivered first";
    pumpAt(9220);
    EXPECT_TRUE(hub.inputLost()) << "an error counts at once";
    hub.close();
    EXPECT_FALSE(hub.isOpen());
    EXPECT_FALSE(hub.inputLost());
}

// A slow sound server hands over a stream's first block late; a device that is
// not there yet (the program started before the server) is tried every second.
TEST_F(InputHubTest, ASlowFirstBlockIsWaitedForAndAMissingDeviceIsTriedUntilItOpens) {
    ASSERT_TRUE(hub.open(0, 8000));
    pumpAt(2100);
    EXPECT_FALSE(hub.inputLost()) << "no block yet after two seconds: a slow server, not a dead one";
    input.feed(100, 128);
    pumpAt(2200);
    EXPECT_EQ(hub.received(), 100u);
    EXPECT_EQ(input.opens, 1);
    hub.close();

    input.failing.insert(0);
    now = 10'000;
    EXPECT_FALSE(hub.open(0, 8000));
    EXPECT_TRUE(hub.isOpen());
    EXPECT_TRUE(hub.inputLost());
    EXPECT_TRUE(hub.inputUnavailable());
    EXPECT_EQ(hub.sampleRate(), 8000);
    pumpAt(10'900);
    input.failing.clear();
    pumpAt(11'000);
    EXPECT_EQ(input.opens, 2);
    EXPECT_FALSE(hub.inputUnavailable());
    input.feed(50, 128);
    pumpAt(11'100);
    EXPECT_FALSE(hub.inputLost());
    EXPECT_EQ(hub.received(), 150u);
}

} // namespace
} // namespace kestrova
