#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrova {

// Sound as interleaved float frames in [-1, 1], read block by block: a WAV file,
// or several of them played in turn.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual int sampleRate() const = 0;
    // As delivered: 1 or 2.
    virtual int channels() const = 0;
    virtual std::uint64_t position() const = 0;
    // False when the source cannot go there.
    virtual bool seek(std::uint64_t frame) = 0;
    // Fills `out` with up to maxFrames frames; returns the frames read, 0 at the end
    // or when reading fails.
    virtual std::size_t read(float* out, std::size_t maxFrames) = 0;
};

} // namespace kestrova
