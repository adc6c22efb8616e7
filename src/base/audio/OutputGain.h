#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kestrova {

// Left and right gain of everything the program plays. Written on the user-interface
// thread, read by audio callbacks, hence lock-free.
class OutputGain {
public:
    // Each 16-bit half is a linear level, 0xFFFF being full: left low, right high.
    void setFromVolume(std::uint32_t volume);
    float left() const { return left_.load(std::memory_order_relaxed); }
    float right() const { return right_.load(std::memory_order_relaxed); }

    // Scales interleaved frames of one or two channels; mono takes the mean level.
    void apply(float* samples, std::size_t frames, int channels) const;

private:
    std::atomic<float> left_{1.0f};
    std::atomic<float> right_{1.0f};
};

} // namespace kestrova
