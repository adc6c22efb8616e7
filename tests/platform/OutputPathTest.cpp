#include "platform/FrameRing.h"
#include "platform/OutputDeviceChoice.h"
#include "platform/OutputGain.h"
#include "platform/Resampler.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

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

TEST(OutputDeviceChoice, PicksTheOutputOfTheRecordingCard) {
    const std::vector<OutputCandidate> devices = {
        {"HDA Intel PCH: ALC892 Analog (hw:0,0)", 2},
        {"USB Audio CODEC: - (hw:1,0)", 0},
        {"Card Ten: USB Audio (hw:10,0)", 2},
        {"USB Audio CODEC: - (hw:1,1)", 2},
        {"default", 2},
    };
    EXPECT_EQ(chooseOutputDevice(devices, "USB Audio CODEC: - (hw:1,0)", 4), 3)
        << "input-only entries skipped";
    EXPECT_EQ(chooseOutputDevice(devices, "Card Ten: USB Audio (hw:10,0)", 4), 2) << "hw:1 is not hw:10";
    EXPECT_EQ(chooseOutputDevice(devices, "default", 0), 4);
    EXPECT_EQ(chooseOutputDevice(devices, "Nothing like it", 4), 4);
    EXPECT_EQ(chooseOutputDevice(devices, "", 4), 4);
}

TEST(OutputDeviceChoice, MatchesBracketedCardNamesOfOtherHosts) {
    const std::vector<OutputCandidate> devices = {{"Speakers (Realtek Audio)", 2},
                                                  {"Speakers (USB Audio Device)", 2}};
    EXPECT_EQ(chooseOutputDevice(devices, "Microphone (USB Audio Device)", 0), 1);
}

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

TEST(Resampler, GivesTheWholeDurationAtTheNewRateIncludingTheTail) {
    // A faster replay rate the card does not take is converted to 48000 Hz, both channels alike.
    const int from = 14332;
    const int to = 48000;
    Resampler resampler(from, to, 2);
    ASSERT_TRUE(resampler.ok());
    std::vector<float> in(2 * from);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i / 2) / from));
    }
    std::vector<float> out(2 * 1024);
    std::size_t used = 0;
    std::size_t made = 0;
    double energy = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        const bool last = 2 * used == in.size();
        const auto step = resampler.process(std::span(in).subspan(2 * used), out, last);
        used += step.used;
        made += step.made;
        energy = std::inner_product(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(2 * step.made),
                                    out.begin(), energy);
        if (last && step.made == 0) {
            break;
        }
    }
    EXPECT_EQ(2 * used, in.size());
    EXPECT_NEAR(static_cast<double>(made), to, 2.0);
    EXPECT_NEAR(energy / static_cast<double>(2 * made), 0.5, 0.02); // a full-scale sine survives
}

TEST(Resampler, RefusesImpossibleRatios) {
    EXPECT_FALSE(Resampler(1, 48000).ok());
}

} // namespace
} // namespace kestrova
