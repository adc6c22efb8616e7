#include "base/audio/PortAudioInputStream.h"

#include "base/wav/Pcm8.h"

#include <algorithm>
#include <array>
#include <pa_linux_alsa.h>
#include <portaudio.h>

namespace kestrova {

namespace {

// Seconds of audio the ring holds while the user interface is busy.
constexpr int kRingSeconds = 4;
// Frames the callback converts in one go; longer callbacks are cut into pieces.
constexpr std::size_t kChunkFrames = 2048;
// The program listens for days: blocks of 200 ms behind a buffer of at least a
// second let this process's reader wake five times a second (with 100 ms it took a
// tenth of what the whole program costs while recording), and a busy user interface
// loses nothing. The meter's timer wakes at the same pace (see Platform), so the
// meter lags by up to two blocks; the capture's pre-roll covers the delay of the
// start.
constexpr double kBlockSeconds = AudioInput::kDefaultBlockSpacingMs / 1000.0;
constexpr double kMinimumLatencySeconds = 1.0;

// The device's parameters; an ALSA device by name is reached through PortAudio's
// ALSA-specific stream info.
PaStreamParameters parametersFor(const PortAudioInputStream::Device& device, PaSampleFormat format,
                                 int channels, double latency) {
    PaStreamParameters parameters{};
    parameters.device = device.alsa != nullptr ? paUseHostApiSpecificDeviceSpecification : device.index;
    parameters.channelCount = channels;
    parameters.sampleFormat = format;
    parameters.suggestedLatency = latency;
    parameters.hostApiSpecificStreamInfo = device.alsa;
    return parameters;
}

} // namespace

std::unique_ptr<PortAudioInputStream> PortAudioInputStream::open(int device, int sampleRate) {
    PortAudioSession session;
    if (!session.ok() || device < 0 || device >= Pa_GetDeviceCount()) {
        return nullptr;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (info == nullptr || info->maxInputChannels < 1) {
        return nullptr;
    }
    return openWith({device, nullptr}, sampleRate,
                    std::max(info->defaultHighInputLatency, kMinimumLatencySeconds), info->defaultSampleRate,
                    info->maxInputChannels);
}

std::unique_ptr<PortAudioInputStream> PortAudioInputStream::openAlsaDevice(const char* name, int sampleRate) {
    PortAudioSession session;
    if (!session.ok()) {
        return nullptr;
    }
    PaAlsaStreamInfo alsa{};
    PaAlsa_InitializeStreamInfo(&alsa);
    alsa.deviceString = name;
    return openWith({paNoDevice, &alsa}, sampleRate, kMinimumLatencySeconds, 48000.0, 2);
}

std::unique_ptr<PortAudioInputStream> PortAudioInputStream::openWith(const Device& device, int sampleRate,
                                                                     double latency, double deviceRate,
                                                                     int deviceChannels) {
    std::vector<DeviceFormat> candidates{{paUInt8, 1, static_cast<double>(sampleRate)}};
    // Hardware that cannot do the wanted format natively: float at a rate it
    // likes, mono or the first channel of stereo, converted here.
    const std::array<double, 3> rates{deviceRate, 48000.0, 44100.0};
    for (const double rate : rates) {
        candidates.push_back({paFloat32, 1, rate});
        if (deviceChannels >= 2) {
            candidates.push_back({paFloat32, 2, rate});
        }
    }
    for (const DeviceFormat& format : candidates) {
        const PaStreamParameters parameters =
            parametersFor(device, format.sampleFormat, format.channels, latency);
        if (Pa_IsFormatSupported(&parameters, nullptr, format.rate) != paFormatIsSupported) {
            continue;
        }
        std::unique_ptr<PortAudioInputStream> stream(new PortAudioInputStream(sampleRate, format));
        if (stream->resampler_.ok() && stream->start(parameters)) {
            return stream;
        }
    }
    return nullptr;
}

PortAudioInputStream::PortAudioInputStream(int sampleRate, const DeviceFormat& format)
    : sampleRate_(sampleRate), format_(format), ring_(static_cast<std::size_t>(sampleRate) * kRingSeconds),
      resampler_(static_cast<int>(format.rate),
                 format.sampleFormat == paUInt8 ? static_cast<int>(format.rate) : sampleRate),
      mono_(kChunkFrames), resampled_(resampler_.maxOutput(kChunkFrames)), bytes_(resampled_.size()) {}

bool PortAudioInputStream::start(const PaStreamParameters& parameters) {
    PaStream* stream = nullptr;
    const auto framesPerBlock = static_cast<unsigned long>(format_.rate * kBlockSeconds);
    const PaError opened = Pa_OpenStream(&stream, &parameters, nullptr, format_.rate, framesPerBlock,
                                         paClipOff, &PortAudioInputStream::callback, this);
    if (opened != paNoError) {
        return false;
    }
    stream_ = stream;
    return Pa_StartStream(stream) == paNoError;
}

PortAudioInputStream::~PortAudioInputStream() {
    if (stream_ != nullptr) {
        // Closing a running stream aborts it; the callback is not called afterwards.
        Pa_CloseStream(stream_);
    }
}

int PortAudioInputStream::callback(const void* input, void* /*output*/, unsigned long frames,
                                   const PaStreamCallbackTimeInfo* /*timeInfo*/,
                                   PaStreamCallbackFlags /*statusFlags*/, void* self) {
    auto* stream = static_cast<PortAudioInputStream*>(self);
    if (input == nullptr) {
        return paContinue;
    }
    if (stream->format_.sampleFormat == paUInt8) {
        stream->deliverNative(static_cast<const std::uint8_t*>(input), frames);
    } else {
        stream->deliverConverted(static_cast<const float*>(input), frames);
    }
    return paContinue;
}

void PortAudioInputStream::deliverNative(const std::uint8_t* input, std::size_t frames) noexcept {
    ring_.push(std::span(input, frames));
}

void PortAudioInputStream::deliverConverted(const float* input, std::size_t frames) noexcept {
    const auto channels = static_cast<std::size_t>(format_.channels);
    while (frames > 0) {
        const std::size_t chunk = std::min(frames, kChunkFrames);
        for (std::size_t i = 0; i < chunk; ++i) {
            mono_[i] = input[i * channels];
        }
        std::span<const float> pending(mono_.data(), chunk);
        while (!pending.empty()) {
            const Resampler::Counts counts = resampler_.process(pending, resampled_);
            std::transform(resampled_.begin(), resampled_.begin() + static_cast<std::ptrdiff_t>(counts.made),
                           bytes_.begin(), floatToPcm8);
            ring_.push(std::span<const std::uint8_t>(bytes_.data(), counts.made));
            if (counts.used == 0 && counts.made == 0) {
                break;
            }
            pending = pending.subspan(counts.used);
        }
        input += chunk * channels;
        frames -= chunk;
    }
}

} // namespace kestrova
