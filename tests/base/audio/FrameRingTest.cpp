#include "base/audio/FrameRing.h"

#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

TEST(FrameRing, KeepsOrderAcrossTheWrapAndNeverOverfills) {
    FrameRing ring(5);
    const float first[] = {1, 2, 3};
    EXPECT_EQ(ring.write(first, 3), 3u);
    float out[8] = {};
    EXPECT_EQ(ring.read(out, 2), 2u);
    const float second[] = {4, 5, 6, 7, 8};
    EXPECT_EQ(ring.write(second, 5), 4u);
    EXPECT_EQ(ring.writable(), 0u);
    EXPECT_EQ(ring.read(out, 8), 5u);
    EXPECT_EQ(std::vector<float>(out, out + 5), (std::vector<float>{3, 4, 5, 6, 7}));
    EXPECT_EQ(ring.readable(), 0u);
}

} // namespace
} // namespace kestrova
