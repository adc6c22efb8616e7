#pragma once

#include "base/audio/AudioInput.h"

#include <QtGlobal>
#include <functional>

namespace kestrova {

// Plays prepared samples into the program as if they came from a receiver, in
// real time by the given clock, then silence.
class FileFedStream final : public InputStream {
public:
    // `elapsedMs` is any monotonic millisecond clock; only differences count.
    FileFedStream(std::vector<std::uint8_t> samples, int sampleRate, std::function<qint64()> elapsedMs);

    int sampleRate() const override { return sampleRate_; }
    std::size_t read(std::vector<std::uint8_t>& sink) override;

private:
    std::vector<std::uint8_t> samples_;
    int sampleRate_;
    std::function<qint64()> elapsedMs_;
    qint64 startMs_;
    std::uint64_t delivered_ = 0;
};

} // namespace kestrova
