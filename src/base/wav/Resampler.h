#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct SRC_STATE_tag;

namespace kestrova {

// Sample-rate conversion of interleaved float frames through libsamplerate.
// Equal rates pass through untouched, so the common case adds no filter delay.
class Resampler {
public:
    Resampler(int fromRate, int toRate, int channels = 1);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    bool ok() const { return passThrough() || state_ != nullptr; }
    bool passThrough() const { return fromRate_ == toRate_; }
    int fromRate() const { return fromRate_; }
    int toRate() const { return toRate_; }
    // Output frames that `inputFrames` input frames may produce at most.
    std::size_t maxOutput(std::size_t inputFrames) const;

    // In frames.
    struct Counts {
        std::size_t used = 0;
        std::size_t made = 0;
    };
    // Converts as much of `in` as `out` has room for (both interleaved samples).
    // No allocation: safe in the audio callback. `last` drains what the filter
    // still holds.
    Counts process(std::span<const float> in, std::span<float> out, bool last = false) noexcept;

    // Converts all of `in`, appending to `out` (allocates; not for the callback).
    void processAll(std::span<const float> in, std::vector<float>& out, bool last = false);
    // Same on 8-bit mono samples.
    void processAll(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out, bool last = false);

private:
    // Forgets the filter history, for a fresh start after the input has ended.
    void reset();

    int fromRate_;
    int toRate_;
    std::size_t channels_;
    SRC_STATE_tag* state_ = nullptr;
};

} // namespace kestrova
