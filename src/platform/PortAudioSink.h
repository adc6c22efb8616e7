#pragma once

#include "platform/AudioSink.h"
#include "platform/PortAudioSession.h"

#include <QString>
#include <atomic>
#include <memory>
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

    bool start(int sampleRate, int channels) override;
    std::size_t write(const float* frames, std::size_t frameCount) override;
    void finishInput() override;
    std::uint64_t framesPlayed() const override;
    bool failed() const override;
    void stop() override;

    // Called by PortAudio on its own thread.
    void fill(float* out, unsigned long frames);

private:
    bool openDevice(int device, int sampleRate);
    void push(const float* frames, std::size_t frameCount);

    const OutputGain& gain_;
    PortAudioSession session_;
    QString companionInput_;
    void* stream_ = nullptr;
    std::unique_ptr<FrameRing> ring_;
    std::unique_ptr<Resampler> resampler_;
    std::vector<float> resampled_;
    std::vector<float> widened_;
    int sourceRate_ = 0;
    int sourceChannels_ = 0;
    int deviceRate_ = 0;
    int deviceChannels_ = 0;
    std::uint64_t latencyFrames_ = 0;
    std::uint64_t framesWritten_ = 0; // at the source rate
    std::uint64_t framesPushed_ = 0;  // at the device rate
    std::atomic<std::uint64_t> framesOut_{0};
    std::atomic<bool> inputFinished_{false};
};

} // namespace kestrova
