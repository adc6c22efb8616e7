#pragma once

// Template body of measureLevel; include LevelMeter.h instead.

#include <cmath>
#include <cstdlib>

namespace kestrova {

inline int displayLevelOf(float envelope, bool logarithmic) {
    if (logarithmic) {
        return static_cast<int>(std::floor(20.0 * std::log(static_cast<double>(envelope) + 1.0)));
    }
    return static_cast<int>(std::floor(static_cast<double>(envelope) * 0.7874015748031495));
}

template <typename OnSignal>
LevelReading measureLevel(const LevelBuffer& buffer, float& envelope, bool logarithmic, int threshold,
                          OnSignal&& onSignal) {
    constexpr std::size_t lastOffset = 512;
    constexpr float attack = 0.5f;
    constexpr float release = 0.001f;
    LevelReading reading;
    for (std::size_t offset = 0; offset <= lastOffset; offset += 2) {
        const float v = static_cast<float>(std::abs(static_cast<int>(buffer[offset]) - 127));
        const float d = v - envelope;
        if (d > 0) {
            envelope = envelope + attack * d;
        } else if (d < 0) {
            envelope = envelope + release * d;
        }
        reading.displayLevel = displayLevelOf(envelope, logarithmic);
        if (reading.displayLevel > threshold) {
            ++reading.signalSamples;
            onSignal(offset);
        }
    }
    reading.barValue = reading.displayLevel + 2;
    reading.overload = reading.displayLevel > 95;
    return reading;
}

} // namespace kestrova
