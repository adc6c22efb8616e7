#pragma once

#include "base/audio/SoundStart.h"

#include <cstddef>
#include <cstdint>

namespace kestrova {

// Where played sound goes. The caller pushes interleaved float frames at the rate
// it started with; the sink converts to whatever the device takes. Driven from one
// thread only (the user-interface thread).
class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Starts a new stream (ending any earlier one); false when no device takes it.
    virtual bool start(int sampleRate, int channels, SoundStart soundStart) = 0;
    // Queues as many whole frames as there is room for without waiting; returns how many.
    virtual std::size_t write(const float* frames, std::size_t frameCount) = 0;
    // No more frames follow; what the sink holds back must now be played too.
    virtual void finishInput() = 0;
    // Of the frames written since start(), how many have been played (counted at
    // the rate given to start()). Reaches the number written once all was heard.
    virtual std::uint64_t framesPlayed() const = 0;
    // The device stopped working (for example it was unplugged).
    virtual bool failed() const = 0;
    // Drops what is queued and ends the stream; safe when nothing plays.
    virtual void stop() = 0;
};

} // namespace kestrova
