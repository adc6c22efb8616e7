#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/PortAudioSession.h"
#include "base/audio/SampleRing.h"
#include "base/wav/Resampler.h"

#include <memory>
#include <portaudio.h>
#include <vector>

struct PaAlsaStreamInfo;

namespace kestrova {

// One open PortAudio capture stream delivering 8-bit unsigned mono. The callback
// converts (and resamples where the device cannot give the wanted format) into
// preallocated buffers and hands the samples over through a lock-free ring.
class PortAudioInputStream final : public InputStream {
public:
    // A PortAudio device, or an ALSA device by name.
    struct Device {
        int index;
        PaAlsaStreamInfo* alsa;
    };
    // Opens PortAudio device `device`; nothing when it cannot be opened.
    static std::unique_ptr<PortAudioInputStream> open(int device, int sampleRate);
    // Opens an ALSA device by its name ("default", "pulse"): a sound server that was
    // not running when PortAudio listed the devices is missing from its list, but
    // reached this way.
    static std::unique_ptr<PortAudioInputStream> openAlsaDevice(const char* name, int sampleRate);
    ~PortAudioInputStream() override;
    PortAudioInputStream(const PortAudioInputStream&) = delete;
    PortAudioInputStream& operator=(const PortAudioInputStream&) = delete;

    int sampleRate() const override { return sampleRate_; }
    std::size_t read(std::vector<std::uint8_t>& sink) override { return ring_.pop(sink); }
    std::uint64_t droppedSamples() const override { return ring_.dropped(); }
    // PortAudio ends a stream whose host reported an error.
    bool failed() const override { return Pa_IsStreamActive(stream_) != 1; }

private:
    struct DeviceFormat {
        PaSampleFormat sampleFormat;
        int channels;
        double rate;
    };
    PortAudioInputStream(int sampleRate, const DeviceFormat& format);
    static std::unique_ptr<PortAudioInputStream>
    openWith(const Device& device, int sampleRate, double latency, double deviceRate, int deviceChannels);
    bool start(const PaStreamParameters& parameters);

    static int callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* timeInfo, PaStreamCallbackFlags statusFlags,
                        void* self);
    void deliverNative(const std::uint8_t* input, std::size_t frames) noexcept;
    void deliverConverted(const float* input, std::size_t frames) noexcept;

    // Declared first: PortAudio must stay initialised until the stream is closed.
    PortAudioSession session_;
    int sampleRate_;
    DeviceFormat format_;
    SampleRing ring_;
    Resampler resampler_;
    std::vector<float> mono_;
    std::vector<float> resampled_;
    std::vector<std::uint8_t> bytes_;
    PaStream* stream_ = nullptr;
};

} // namespace kestrova
