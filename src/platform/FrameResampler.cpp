#include "platform/FrameResampler.h"

#include <samplerate.h>

namespace kestrova {

FrameResampler::FrameResampler(int channels, int fromRate, int toRate)
    : ratio_(static_cast<double>(toRate) / static_cast<double>(fromRate)) {
    if (src_is_valid_ratio(ratio_) == 0) {
        return;
    }
    int error = 0;
    // Speech on a radio circuit: the fastest sinc converter is clean enough.
    state_ = src_new(SRC_SINC_FASTEST, channels, &error);
}

FrameResampler::~FrameResampler() {
    if (state_ != nullptr) {
        src_delete(state_);
    }
}

FrameResampler::Step FrameResampler::process(const float* in, std::size_t inFrames, float* out,
                                             std::size_t outFrames, bool last) {
    if (state_ == nullptr) {
        return {};
    }
    SRC_DATA data{};
    data.data_in = in;
    data.data_out = out;
    data.input_frames = static_cast<long>(inFrames);
    data.output_frames = static_cast<long>(outFrames);
    data.end_of_input = last ? 1 : 0;
    data.src_ratio = ratio_;
    if (src_process(state_, &data) != 0) {
        return {};
    }
    return {static_cast<std::size_t>(data.input_frames_used),
            static_cast<std::size_t>(data.output_frames_gen)};
}

} // namespace kestrova
