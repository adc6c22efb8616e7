#include "base/audio/SampleRing.h"

#include <atomic>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>

namespace kestrova {
namespace {

std::vector<std::uint8_t> counting(std::uint8_t from, std::size_t count) {
    std::vector<std::uint8_t> values(count);
    std::iota(values.begin(), values.end(), from);
    return values;
}

TEST(SampleRing, KeepsOrderAcrossTheWrapAround) {
    SampleRing ring(8);
    std::vector<std::uint8_t> out;
    ring.push(counting(1, 5));
    EXPECT_EQ(ring.pop(out), 5u);
    ring.push(counting(6, 6)); // wraps past the end of the slots
    out.clear();
    EXPECT_EQ(ring.pop(out), 6u);
    EXPECT_EQ(out, counting(6, 6));
    EXPECT_EQ(ring.pop(out), 0u);
    EXPECT_EQ(ring.dropped(), 0u);
}

TEST(SampleRing, OverflowDropsTheOldestAndCountsThem) {
    SampleRing ring(8);
    ring.push(counting(1, 5));
    ring.push(counting(6, 6)); // 11 unread, room for 8
    std::vector<std::uint8_t> out{99};
    EXPECT_EQ(ring.pop(out), 8u);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{99, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(ring.dropped(), 3u);

    ring.push(counting(50, 20)); // one block larger than the ring
    out.clear();
    EXPECT_EQ(ring.pop(out), 8u);
    EXPECT_EQ(out, counting(62, 8));
    EXPECT_EQ(ring.dropped(), 15u);
}

// A consumer racing a producer that overwrites it must never see torn data:
// every block it gets is a contiguous run, and nothing goes missing uncounted.
TEST(SampleRing, ConcurrentReaderGetsContiguousRunsAndCountsTheRest) {
    SampleRing ring(64);
    constexpr std::size_t kBlocks = 20000;
    constexpr std::size_t kBlock = 24;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        std::uint8_t next = 0;
        for (std::size_t block = 0; block < kBlocks; ++block) {
            const auto values = counting(next, kBlock);
            ring.push(values);
            next = static_cast<std::uint8_t>(next + kBlock);
        }
        done = true;
    });
    std::uint64_t received = 0;
    bool contiguous = true;
    std::vector<std::uint8_t> out;
    for (;;) {
        const bool last = done.load();
        out.clear();
        received += ring.pop(out);
        for (std::size_t i = 1; i < out.size(); ++i) {
            contiguous = contiguous && out[i] == static_cast<std::uint8_t>(out[i - 1] + 1);
        }
        if (last) {
            break;
        }
    }
    producer.join();
    EXPECT_TRUE(contiguous);
    EXPECT_EQ(received + ring.dropped(), kBlocks * kBlock);
}

} // namespace
} // namespace kestrova
