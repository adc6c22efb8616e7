#include "base/audio/OutputGain.h"

#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

TEST(OutputGain, VolumeHalvesSetLeftAndRightIndependently) {
    OutputGain gain;
    gain.setFromVolume(0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(gain.left(), 1.0f);
    EXPECT_FLOAT_EQ(gain.right(), 1.0f);
    gain.setFromVolume(0);
    EXPECT_FLOAT_EQ(gain.left(), 0.0f);
    EXPECT_FLOAT_EQ(gain.right(), 0.0f);
    gain.setFromVolume(0x0000FFFFu);
    EXPECT_FLOAT_EQ(gain.left(), 1.0f);
    EXPECT_FLOAT_EQ(gain.right(), 0.0f);
    gain.setFromVolume(0x80004000u);
    EXPECT_FLOAT_EQ(gain.left(), 0x4000 / 65535.0f);
    EXPECT_FLOAT_EQ(gain.right(), 0x8000 / 65535.0f);
}

TEST(OutputGain, AppliesPerChannelAndTheMeanToMono) {
    OutputGain gain;
    gain.setFromVolume(0xFFFF0000u); // left silent, right full
    float stereo[] = {0.5f, 0.5f, -0.25f, -0.25f};
    gain.apply(stereo, 2, 2);
    EXPECT_EQ(std::vector<float>(stereo, stereo + 4), (std::vector<float>{0.0f, 0.5f, 0.0f, -0.25f}));
    float mono[] = {0.5f, -1.0f};
    gain.apply(mono, 2, 1);
    EXPECT_EQ(std::vector<float>(mono, mono + 2), (std::vector<float>{0.25f, -0.5f}));
}

} // namespace
} // namespace kestrova
