#include "base/audio/OutputGain.h"

namespace kestrova {

void OutputGain::setFromVolume(std::uint32_t volume) {
    left_.store(static_cast<float>(volume & 0xFFFFu) / 65535.0f, std::memory_order_relaxed);
    right_.store(static_cast<float>(volume >> 16) / 65535.0f, std::memory_order_relaxed);
}

void OutputGain::apply(float* samples, std::size_t frames, int channels) const {
    const float l = left();
    const float r = right();
    if (channels == 1) {
        const float both = (l + r) / 2.0f;
        for (std::size_t i = 0; i < frames; ++i) {
            samples[i] *= both;
        }
        return;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        samples[i * channels] *= l;
        samples[i * channels + 1] *= r;
    }
}

} // namespace kestrova
