#pragma once

#include "base/audio/SoundStart.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kestrova {

class AudioSink;
class FrameSource;

// Feeds one sound (a WAV file, or files in turn) into a sink from a given frame on.
// pump() reads only as much as the sink has room for, so it is cheap to call often
// from a timer.
class WavStreamer {
public:
    WavStreamer(FrameSource& source, AudioSink& sink);
    ~WavStreamer();
    WavStreamer(const WavStreamer&) = delete;
    WavStreamer& operator=(const WavStreamer&) = delete;

    // Starts the sink at the file's rate; false when the device refuses.
    bool start(std::uint64_t fromFrame, SoundStart soundStart);
    void pump();
    // The frame being heard now.
    std::uint64_t currentFrame() const;
    bool finished() const;
    bool failed() const;
    void stop();

private:
    FrameSource& source_;
    AudioSink& sink_;
    bool running_ = false;
    bool endQueued_ = false;
    std::uint64_t startFrame_ = 0;
    std::uint64_t framesWritten_ = 0;
    std::vector<float> block_;
    std::size_t blockFrames_ = 0; // read from the file but not yet taken by the sink
    std::size_t blockOffset_ = 0;
};

} // namespace kestrova
