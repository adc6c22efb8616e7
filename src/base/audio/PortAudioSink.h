#pragma once

#include "base/audio/AudioSink.h"
#include "base/audio/PortAudioSession.h"

#include <QString>
#include <atomic>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace kestrova {

class OutputGain;
class Resampler;
class FrameRing;

// Plays through PortAudio on the output of the sound card that records the
// circuit, else on the default output. Rates the device refuses (the faster
// replay speeds of the sound window are 12127, 14332 and 16528 Hz) are converted
// to one it takes. The audio callback only reads from a ring buffer.
class PortAudioSink final : public AudioSink {
public:
    explicit PortAudioSink(const OutputGain& gain);
    ~PortAudioSink() override;
    PortAudioSink(const PortAudioSink&) = delete;
    PortAudioSink& operator=(const PortAudioSink&) = delete;

    // The PortAudio name of the input device in use; applies from the next start().
    void setCompanionInput(const QString& inputDeviceName) { companionInput_ = inputDeviceName; }

    bool start(int sampleRate, int channels, SoundStart soundStart) override;
    std::size_t write(const float* frames, std::size_t frameCount) override;
    void finishInput() override;
    std::uint64_t framesPlayed() const override;
    bool failed() const override;
    void stop() override;

    // Called by PortAudio on its own thread; `delaySeconds` is how long until the
    // block's first frame is heard, at `streamSeconds` on the stream's clock; both
    // negative when the host does not tell.
    void fill(float* out, unsigned long frames, double delaySeconds, double streamSeconds);

private:
    bool openDevice(int device, int sampleRate, SoundStart soundStart);
    void startStream();
    void push(const float* frames, std::size_t frameCount);
    // Of the frames handed to the device, how many have been heard by now.
    std::uint64_t framesHeard() const;
    bool playedToTheEnd() const;

    const OutputGain& gain_;
    // Held only while a stream is open: the input can then have PortAudio list the
    // devices again (a sound server that came late) while nothing plays.
    std::optional<PortAudioSession> session_;
    QString companionInput_;
    void* stream_ = nullptr;
    // Whether the open stream was started, and whether PortAudio refused to.
    bool started_ = false;
    bool startRefused_ = false;
    std::unique_ptr<FrameRing> ring_;
    std::unique_ptr<Resampler> resampler_;
    std::vector<float> resampled_;
    std::vector<float> widened_;
    int sourceRate_ = 0;
    int sourceChannels_ = 0;
    int deviceRate_ = 0;
    int deviceChannels_ = 0;
    std::atomic<std::uint64_t> latencyFrames_{0};
    std::uint64_t framesWritten_ = 0; // at the source rate
    std::uint64_t framesOut_ = 0;     // handed to the device; only the callback touches it while running
    std::atomic<std::uint64_t> framesHanded_{0};
    // The frame heard at time 0 of the stream's clock, from the last block's delay;
    // NaN until a block told it.
    std::atomic<double> clockOrigin_{std::numeric_limits<double>::quiet_NaN()};
    std::atomic<bool> inputFinished_{false};
    // The device frame after the last one of the sound, once the callback has come to it.
    std::atomic<std::uint64_t> endFrame_{std::numeric_limits<std::uint64_t>::max()};
    // Silence after the sound, and before it when it begins after a lead-in: the
    // device's buffer and a little more.
    std::uint64_t marginFrames_ = 0;
    // Of the lead-in, what the callback has still to hand over; none for a sound that begins at once.
    std::uint64_t leadInLeft_ = 0;
};

} // namespace kestrova
