#pragma once

#include <cstdint>

namespace kestrova {

// What a reader of a WAV file needs to know of its sound.
struct WavFormat {
    int sampleRate = 0;
    int channels = 0;     // as delivered: 1 or 2
    int fileChannels = 0; // as stored; more than two are mixed to one
    std::uint64_t frameCount = 0;
};

} // namespace kestrova
