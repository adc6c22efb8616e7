#include "base/audio/FileFedStream.h"

#include "base/wav/Pcm8.h"

#include <algorithm>

namespace kestrova {

FileFedStream::FileFedStream(std::vector<std::uint8_t> samples, int sampleRate,
                             std::function<qint64()> elapsedMs)
    : samples_(std::move(samples)), sampleRate_(sampleRate), elapsedMs_(std::move(elapsedMs)),
      startMs_(elapsedMs_()) {}

std::size_t FileFedStream::read(std::vector<std::uint8_t>& sink) {
    const qint64 elapsed = std::max<qint64>(elapsedMs_() - startMs_, 0);
    const auto due = static_cast<std::uint64_t>(elapsed) * static_cast<std::uint64_t>(sampleRate_) / 1000;
    if (due <= delivered_) {
        return 0;
    }
    const auto count = static_cast<std::size_t>(due - delivered_);
    const std::size_t fromFile = delivered_ < samples_.size()
                                     ? std::min(count, static_cast<std::size_t>(samples_.size() - delivered_))
                                     : 0;
    const auto begin = samples_.begin() + static_cast<std::ptrdiff_t>(delivered_);
    sink.insert(sink.end(), begin, begin + static_cast<std::ptrdiff_t>(fromFile));
    sink.insert(sink.end(), count - fromFile, kPcm8Silence);
    delivered_ = due;
    return count;
}

} // namespace kestrova
