#include "base/wav/Resampler.h"

#include "base/wav/Pcm8.h"

#include <algorithm>
#include <cmath>
#include <samplerate.h>

namespace kestrova {

Resampler::Resampler(int fromRate, int toRate, int channels)
    : fromRate_(fromRate), toRate_(toRate), channels_(static_cast<std::size_t>(std::max(channels, 1))) {
    if (!passThrough() && fromRate > 0 && toRate > 0 &&
        src_is_valid_ratio(static_cast<double>(toRate) / fromRate) != 0) {
        int error = 0;
        // Voice on a radio circuit does not need more than the fastest sinc filter.
        state_ = src_new(SRC_SINC_FASTEST, static_cast<int>(channels_), &error);
    }
}

Resampler::~Resampler() {
    if (state_ != nullptr) {
        src_delete(state_);
    }
}

std::size_t Resampler::maxOutput(std::size_t inputFrames) const {
    if (passThrough()) {
        return inputFrames;
    }
    const double ratio = static_cast<double>(toRate_) / fromRate_;
    return static_cast<std::size_t>(std::ceil(static_cast<double>(inputFrames) * ratio)) + 64;
}

Resampler::Counts Resampler::process(std::span<const float> in, std::span<float> out, bool last) noexcept {
    const std::size_t inFrames = in.size() / channels_;
    if (passThrough()) {
        const std::size_t n = std::min(inFrames, out.size() / channels_);
        std::copy_n(in.begin(), n * channels_, out.begin());
        return {n, n};
    }
    if (state_ == nullptr) {
        return {inFrames, 0};
    }
    SRC_DATA data{};
    data.data_in = in.data();
    data.data_out = out.data();
    data.input_frames = static_cast<long>(inFrames);
    data.output_frames = static_cast<long>(out.size() / channels_);
    data.end_of_input = last ? 1 : 0;
    data.src_ratio = static_cast<double>(toRate_) / fromRate_;
    if (src_process(state_, &data) != 0) {
        return {inFrames, 0};
    }
    return {static_cast<std::size_t>(data.input_frames_used),
            static_cast<std::size_t>(data.output_frames_gen)};
}

void Resampler::processAll(std::span<const float> in, std::vector<float>& out, bool last) {
    const std::size_t frames = in.size() / channels_;
    std::size_t done = 0;
    for (;;) {
        const std::size_t first = out.size();
        out.resize(first + maxOutput(frames - done) * channels_);
        const Counts counts = process(in.subspan(done * channels_), std::span(out).subspan(first), last);
        out.resize(first + counts.made * channels_);
        done += counts.used;
        // With `last`, the filter keeps giving until it is empty.
        const bool drained = !last || counts.made == 0 || passThrough();
        const bool stuck = counts.used == 0 && counts.made == 0;
        if ((done >= frames && drained) || stuck) {
            break;
        }
    }
    if (last) {
        reset();
    }
}

void Resampler::processAll(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out, bool last) {
    // The usual case, the card at the recording's rate: the bytes as they are.
    if (passThrough()) {
        out.insert(out.end(), in.begin(), in.end());
        return;
    }
    std::vector<float> floats(in.size());
    std::transform(in.begin(), in.end(), floats.begin(), pcm8ToFloat);
    std::vector<float> converted;
    processAll(floats, converted, last);
    out.reserve(out.size() + converted.size());
    std::transform(converted.begin(), converted.end(), std::back_inserter(out), floatToPcm8);
}

void Resampler::reset() {
    if (state_ != nullptr) {
        src_reset(state_);
    }
}

} // namespace kestrova
