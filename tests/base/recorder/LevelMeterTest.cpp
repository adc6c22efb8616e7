// The envelope follower and the level it shows.
#include "base/recorder/LevelMeter.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

LevelBuffer filled(std::uint8_t value) {
    LevelBuffer buffer;
    buffer.fill(value);
    return buffer;
}

LevelReading tick(const LevelBuffer& buffer, float& envelope, bool logarithmic = false, int threshold = 100,
                  int* signals = nullptr) {
    return measureLevel(buffer, envelope, logarithmic, threshold, [signals](std::size_t) {
        if (signals != nullptr) {
            ++*signals;
        }
    });
}

TEST(LevelMeter, ZeroLineIs127AndBothEndsAreFullScale) {
    float envelope = 0;
    EXPECT_EQ(tick(filled(127), envelope).displayLevel, 0);
    EXPECT_EQ(envelope, 0.0f);
    for (int i = 0; i < 4; ++i) {
        tick(filled(0), envelope);
    }
    EXPECT_FLOAT_EQ(envelope, 127.0f);
    for (int i = 0; i < 4; ++i) {
        tick(filled(255), envelope);
    }
    EXPECT_FLOAT_EQ(envelope, 128.0f);
}

TEST(LevelMeter, AConstant128NeverLetsTheEnvelopeReachZero) {
    float envelope = 100;
    for (int i = 0; i < 200; ++i) {
        tick(filled(128), envelope);
    }
    EXPECT_GT(envelope, 0.99f);
    EXPECT_LT(envelope, 1.01f);
}

TEST(LevelMeter, FullScaleShows100LinearAnd97Logarithmic) {
    float envelope = 128;
    const LevelReading linear = tick(filled(255), envelope);
    EXPECT_EQ(linear.displayLevel, 100);
    EXPECT_EQ(linear.barValue, 102);
    EXPECT_TRUE(linear.overload);
    const LevelReading logarithmic = tick(filled(255), envelope, true);
    EXPECT_EQ(logarithmic.displayLevel, 97);
    EXPECT_TRUE(logarithmic.overload);
    EXPECT_EQ(displayLevelOf(120.0f, false), 94);
    EXPECT_FALSE(tick(filled(127), envelope = 120.0f).overload); // 95 after the release is not above 95
}

TEST(LevelMeter, AttackIsFastAndReleaseSlow) {
    float envelope = 0;
    LevelBuffer buffer = filled(127);
    buffer[0] = 255; // one loud sample at the start of the examined stretch
    tick(buffer, envelope);
    // 64 after the attack, then 256 samples of release at 0.001 each
    EXPECT_NEAR(envelope, 64.0f * std::pow(0.999f, 256), 0.01);
}

TEST(LevelMeter, OnlyTheEvenOffsetsUpTo512AreLookedAt) {
    float envelope = 0;
    LevelBuffer buffer = filled(127);
    for (std::size_t i = 1; i < buffer.size(); i += 2) {
        buffer[i] = 255;
    }
    for (std::size_t i = 514; i < buffer.size(); ++i) {
        buffer[i] = 0;
    }
    EXPECT_EQ(tick(buffer, envelope).displayLevel, 0);
    buffer[512] = 0;
    EXPECT_GT(tick(buffer, envelope).displayLevel, 0);
}

TEST(LevelMeter, ALevelEqualToTheThresholdIsNoSignalAndOneMoreIs) {
    // Samples 64 away from the zero line hold an envelope of 64, shown as 50.
    float envelope = 64;
    int signals = 0;
    EXPECT_EQ(tick(filled(127 + 64), envelope, false, 50, &signals).displayLevel, 50);
    EXPECT_EQ(signals, 0);
    EXPECT_EQ(tick(filled(127 + 64), envelope, false, 49, &signals).signalSamples, 257);
    EXPECT_EQ(signals, 257);
    // The envelope compared per sample is the least whose level reaches the next whole number.
    for (const bool logarithmic : {false, true}) {
        for (int threshold = -1; threshold <= 101; ++threshold) {
            const float cutoff = envelopeReaching(threshold + 1.0, logarithmic);
            EXPECT_GE(levelValue(cutoff, logarithmic), threshold + 1.0) << threshold;
            EXPECT_TRUE(cutoff == 0.0f ||
                        levelValue(std::nextafter(cutoff, 0.0f), logarithmic) < threshold + 1.0)
                << threshold;
        }
    }
}

} // namespace
} // namespace kestrova
