#include "base/wav/WavDecode.h"

#include "base/wav/Pcm8.h"
#include "base/wav/PcmWavFile.h"
#include "base/wav/Resampler.h"

#include <algorithm>

namespace kestrova {

namespace {

constexpr std::size_t kFramesPerBlock = 4096;

std::vector<float> monoSamples(PcmWavFile& file) {
    const auto channels = static_cast<std::size_t>(file.format().channels);
    std::vector<float> mono;
    mono.reserve(static_cast<std::size_t>(file.format().frameCount));
    std::vector<float> block(kFramesPerBlock * channels);
    while (const std::size_t frames = file.read(block.data(), kFramesPerBlock)) {
        for (std::size_t frame = 0; frame < frames; ++frame) {
            const float* first = block.data() + frame * channels;
            float sum = 0.0f;
            std::for_each(first, first + channels, [&sum](float sample) { sum += sample; });
            mono.push_back(sum / static_cast<float>(channels));
        }
    }
    return mono;
}

} // namespace

std::optional<std::vector<std::uint8_t>> decodeWavToPcm8Mono(const QString& path, int sampleRate) {
    if (sampleRate <= 0) {
        return std::nullopt;
    }
    const PcmWavOpenResult opened = PcmWavFile::open(path);
    if (!opened.file) {
        return std::nullopt;
    }
    Resampler resampler(opened.file->format().sampleRate, sampleRate);
    if (!resampler.ok()) {
        return std::nullopt;
    }
    std::vector<float> converted;
    resampler.processAll(monoSamples(*opened.file), converted, true);
    std::vector<std::uint8_t> out(converted.size());
    std::transform(converted.begin(), converted.end(), out.begin(), floatToPcm8);
    return out;
}

} // namespace kestrova
