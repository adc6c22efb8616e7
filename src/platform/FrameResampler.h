#pragma once

#include <cstddef>

struct SRC_STATE_tag;

namespace kestrova {

// Converts interleaved float frames from one sample rate to another with libsamplerate.
class FrameResampler {
public:
    struct Step {
        std::size_t framesUsed = 0;
        std::size_t framesMade = 0;
    };

    FrameResampler(int channels, int fromRate, int toRate);
    ~FrameResampler();
    FrameResampler(const FrameResampler&) = delete;
    FrameResampler& operator=(const FrameResampler&) = delete;

    bool ok() const { return state_ != nullptr; }
    // With `last` set the converter also gives out the frames it holds back.
    Step process(const float* in, std::size_t inFrames, float* out, std::size_t outFrames, bool last);

private:
    SRC_STATE_tag* state_ = nullptr;
    double ratio_ = 1.0;
};

} // namespace kestrova
