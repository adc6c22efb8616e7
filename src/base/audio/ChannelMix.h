#pragma once

#include <algorithm>
#include <cstddef>

namespace kestrova {

// Interleaved float frames from one or two channels to one or two: mono is
// doubled, stereo averaged so that the sum cannot clip.
inline void mixChannels(const float* in, int fromChannels, float* out, int toChannels, std::size_t frames) {
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const float* from = in + frame * static_cast<std::size_t>(fromChannels);
        float* to = out + frame * static_cast<std::size_t>(toChannels);
        if (fromChannels == toChannels) {
            std::copy_n(from, toChannels, to);
        } else if (toChannels == 2) {
            to[0] = to[1] = from[0];
        } else {
            to[0] = (from[0] + from[1]) / 2.0f;
        }
    }
}

} // namespace kestrova
