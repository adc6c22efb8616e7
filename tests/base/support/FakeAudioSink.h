#pragma once

#include "base/audio/AudioSink.h"

#include <algorithm>
#include <vector>

namespace kestrova::test {

// Queues up to `capacity` frames and plays them only when the test calls consume(),
// or at once with `consumeAtOnce`.
class FakeAudioSink : public AudioSink {
public:
    bool start(int sampleRate, int channels, SoundStart begins) override {
        ++starts;
        soundStart = begins;
        if (refuseStart) {
            return false;
        }
        rate = sampleRate;
        channelCount = channels;
        running = true;
        inputFinished = false;
        broken = false;
        received.clear();
        written = queued = played = 0;
        return true;
    }
    std::size_t write(const float* frames, std::size_t frameCount) override {
        if (!running || inputFinished) {
            return 0;
        }
        const std::size_t taken = std::min(frameCount, capacity - queued);
        received.insert(received.end(), frames, frames + taken * channelCount);
        written += taken;
        queued += taken;
        if (consumeAtOnce) {
            consume(queued);
        }
        return taken;
    }
    void finishInput() override { inputFinished = true; }
    std::uint64_t framesPlayed() const override { return running ? played : 0; }
    bool failed() const override { return broken; }
    void stop() override {
        ++stops;
        running = false;
        queued = 0;
    }

    void consume(std::size_t frames) {
        const std::size_t n = std::min(frames, queued);
        queued -= n;
        played += n;
    }

    std::size_t capacity = 2048;
    bool consumeAtOnce = false;
    bool refuseStart = false;
    bool broken = false;

    bool running = false;
    bool inputFinished = false;
    int rate = 0;
    int channelCount = 0;
    int starts = 0;
    // How the last stream was asked to begin.
    SoundStart soundStart = SoundStart::AtOnce;
    int stops = 0;
    std::vector<float> received;
    std::size_t written = 0;
    std::size_t queued = 0;
    std::size_t played = 0;
};

} // namespace kestrova::test
