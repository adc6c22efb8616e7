#pragma once

#include <array>
#include <cstdint>

namespace kestrova {

inline constexpr std::size_t levelBufferSize = 2048;
using LevelBuffer = std::array<std::uint8_t, levelBufferSize>;

// What one tick of the meter leaves for the display: the values of its last sample.
struct LevelReading {
    int displayLevel = 0;
    int barValue = 0;      // displayLevel + 2; above the bar's maximum it shows full
    bool overload = false; // displayLevel above 95
    int signalSamples = 0; // samples whose level was above the threshold
};

// The envelope follower: fast attack, slow release, zero line at 127, over the 257
// samples at even offsets 0 to 512 of the buffer. `envelope` carries over from
// tick to tick. `onSignal(offset)` runs for every sample whose level is above the
// threshold, with the sample's offset in the buffer.
template <typename OnSignal>
LevelReading measureLevel(const LevelBuffer& buffer, float& envelope, bool logarithmic, int threshold,
                          OnSignal&& onSignal);

int displayLevelOf(float envelope, bool logarithmic);

} // namespace kestrova

#include "base/recorder/LevelMeterImpl.h"
