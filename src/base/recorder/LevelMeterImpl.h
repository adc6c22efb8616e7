#pragma once

// Template body of measureLevel; include LevelMeter.h instead.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace kestrova {

// The display level before it is cut to a whole number.
// The scales' factors: 20 dB per e-fold of the envelope above 1, or 100 / 127 per step.
inline constexpr double kLogarithmicScale = 20.0;
inline constexpr double kLinearScale = 0.7874015748031495;

inline double levelValue(float envelope, bool logarithmic) {
    if (logarithmic) {
        return kLogarithmicScale * std::log(static_cast<double>(envelope) + 1.0);
    }
    return static_cast<double>(envelope) * kLinearScale;
}

inline int displayLevelOf(float envelope, bool logarithmic) {
    return static_cast<int>(std::floor(levelValue(envelope, logarithmic)));
}

// The least envelope whose level reaches `level`: the level only grows with the
// envelope, so one comparison of floats per sample tells what converting each to a
// level would. Searched by single steps of the float around the inverse.
inline float envelopeReaching(double level, bool logarithmic) {
    constexpr float infinity = std::numeric_limits<float>::infinity();
    if (levelValue(0.0f, logarithmic) >= level) {
        return 0.0f; // the envelope never falls below 0
    }
    if (levelValue(std::numeric_limits<float>::max(), logarithmic) < level) {
        return infinity; // out of reach
    }
    const double inverse = logarithmic ? std::exp(level / kLogarithmicScale) - 1.0 : level / kLinearScale;
    float cutoff =
        std::clamp(static_cast<float>(std::min(inverse, 1e38)), 0.0f, std::numeric_limits<float>::max());
    while (cutoff < infinity && levelValue(cutoff, logarithmic) < level) {
        cutoff = std::nextafter(cutoff, infinity);
    }
    while (cutoff > 0.0f && levelValue(std::nextafter(cutoff, 0.0f), logarithmic) >= level) {
        cutoff = std::nextafter(cutoff, 0.0f);
    }
    return cutoff;
}

template <typename OnSignal>
LevelReading measureLevel(const LevelBuffer& buffer, float& envelope, bool logarithmic, int threshold,
                          OnSignal&& onSignal) {
    constexpr std::size_t lastOffset = 512;
    constexpr float attack = 0.5f;
    constexpr float release = 0.001f;
    LevelReading reading;
    // Followed in a local, so that it stays in a register; the caller's copy is
    // brought up to date before each report.
    float followed = envelope;
    const float signalEnvelope = envelopeReaching(threshold + 1.0, logarithmic);
    for (std::size_t offset = 0; offset <= lastOffset; offset += 2) {
        const float v = static_cast<float>(std::abs(static_cast<int>(buffer[offset]) - 127));
        const float d = v - followed;
        if (d > 0) {
            followed = followed + attack * d;
        } else if (d < 0) {
            followed = followed + release * d;
        }
        // The cut-off level is above the threshold exactly when the level reaches the
        // next whole number: no rounding per sample, and only the last one is shown.
        if (followed >= signalEnvelope) {
            ++reading.signalSamples;
            envelope = followed;
            onSignal(offset);
        }
    }
    envelope = followed;
    reading.displayLevel = displayLevelOf(envelope, logarithmic);
    reading.barValue = reading.displayLevel + 2;
    reading.overload = reading.displayLevel > 95;
    return reading;
}

} // namespace kestrova
