#include "platform/PortAudioSink.h"

#include "platform/FrameRing.h"
#include "platform/OutputDeviceChoice.h"
#include "platform/OutputGain.h"
#include "platform/Resampler.h"

#include <algorithm>
#include <portaudio.h>

namespace kestrova {

namespace {

constexpr double kRingSeconds = 2.0;
// Room kept free in the ring for the frames the converter gives out at the end.
constexpr std::size_t kTailReserveFrames = 8192;
constexpr std::size_t kChunkFrames = 4096;

int paCallback(const void* /*input*/, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
               PaStreamCallbackFlags, void* user) {
    static_cast<PortAudioSink*>(user)->fill(static_cast<float*>(output), frames);
    return paContinue;
}

PaStream* asStream(void* stream) {
    return static_cast<PaStream*>(stream);
}

} // namespace

PortAudioSink::PortAudioSink(const OutputGain& gain) : gain_(gain) {}

PortAudioSink::~PortAudioSink() {
    stop();
}

bool PortAudioSink::start(int sampleRate, int channels) {
    stop();
    if (!session_.ok() || sampleRate <= 0 || channels < 1 || channels > 2) {
        return false;
    }
    std::vector<OutputCandidate> devices;
    const int count = std::max(Pa_GetDeviceCount(), 0);
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        devices.push_back({info != nullptr ? QString::fromUtf8(info->name) : QString(),
                           info != nullptr ? info->maxOutputChannels : 0});
    }
    const int fallback = Pa_GetDefaultOutputDevice();
    const int chosen = chooseOutputDevice(devices, companionInput_, fallback);
    sourceRate_ = sampleRate;
    sourceChannels_ = channels;
    if (chosen != paNoDevice && openDevice(chosen, sampleRate)) {
        return true;
    }
    return chosen != fallback && fallback != paNoDevice && openDevice(fallback, sampleRate);
}

bool PortAudioSink::openDevice(int device, int sampleRate) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (info == nullptr || info->maxOutputChannels < 1) {
        return false;
    }
    PaStreamParameters params{};
    params.device = device;
    // Stereo where possible so that left and right gain both act, even on mono files.
    params.channelCount = std::min(info->maxOutputChannels, 2);
    params.sampleFormat = paFloat32;
    params.suggestedLatency = info->defaultHighOutputLatency;
    const double rates[] = {static_cast<double>(sampleRate), info->defaultSampleRate, 48000.0, 44100.0};
    int rate = 0;
    for (double candidate : rates) {
        if (candidate > 0 && Pa_IsFormatSupported(nullptr, &params, candidate) == paFormatIsSupported) {
            rate = static_cast<int>(candidate);
            break;
        }
    }
    if (rate == 0) {
        return false;
    }
    if (rate != sampleRate) {
        resampler_ = std::make_unique<Resampler>(sampleRate, rate, sourceChannels_);
        if (!resampler_->ok()) {
            resampler_.reset();
            return false;
        }
    }
    deviceRate_ = rate;
    deviceChannels_ = params.channelCount;
    ring_ = std::make_unique<FrameRing>(static_cast<std::size_t>(kRingSeconds * rate) * deviceChannels_ +
                                        kTailReserveFrames * deviceChannels_);
    resampled_.assign(kChunkFrames * sourceChannels_, 0.0f);
    widened_.assign(kChunkFrames * deviceChannels_, 0.0f);
    framesWritten_ = 0;
    framesPushed_ = 0;
    framesOut_ = 0;
    inputFinished_ = false;

    PaStream* stream = nullptr;
    if (Pa_OpenStream(&stream, nullptr, &params, rate, paFramesPerBufferUnspecified, paNoFlag, paCallback,
                      this) != paNoError) {
        resampler_.reset();
        return false;
    }
    if (Pa_StartStream(stream) != paNoError) {
        Pa_CloseStream(stream);
        resampler_.reset();
        return false;
    }
    stream_ = stream;
    const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream);
    latencyFrames_ = streamInfo != nullptr ? static_cast<std::uint64_t>(streamInfo->outputLatency * rate) : 0;
    return true;
}

void PortAudioSink::push(const float* frames, std::size_t frameCount) {
    // Frames arrive at the file's channel count; the device may have the other one.
    for (std::size_t done = 0; done < frameCount;) {
        const std::size_t n = std::min(frameCount - done, kChunkFrames);
        const float* in = frames + done * sourceChannels_;
        const float* widened = in;
        if (sourceChannels_ != deviceChannels_) {
            for (std::size_t i = 0; i < n; ++i) {
                if (deviceChannels_ == 2) {
                    widened_[2 * i] = widened_[2 * i + 1] = in[i];
                } else {
                    widened_[i] = (in[2 * i] + in[2 * i + 1]) / 2.0f;
                }
            }
            widened = widened_.data();
        }
        ring_->write(widened, n * deviceChannels_);
        framesPushed_ += n;
        done += n;
    }
}

std::size_t PortAudioSink::write(const float* frames, std::size_t frameCount) {
    if (stream_ == nullptr || inputFinished_) {
        return 0;
    }
    std::size_t used = 0;
    while (used < frameCount) {
        const std::size_t room = ring_->writable() / deviceChannels_;
        if (room <= kTailReserveFrames) {
            break;
        }
        const std::size_t space = std::min(room - kTailReserveFrames, kChunkFrames);
        const float* in = frames + used * sourceChannels_;
        if (!resampler_) {
            const std::size_t n = std::min(frameCount - used, space);
            push(in, n);
            used += n;
            continue;
        }
        const auto step = resampler_->process(std::span(in, (frameCount - used) * sourceChannels_),
                                              std::span(resampled_).first(space * sourceChannels_));
        push(resampled_.data(), step.made);
        used += step.used;
        if (step.used == 0 && step.made == 0) {
            break;
        }
    }
    framesWritten_ += used;
    return used;
}

void PortAudioSink::finishInput() {
    if (stream_ == nullptr || inputFinished_) {
        return;
    }
    if (resampler_) {
        // The reserve leaves room for the converter's tail; anything beyond it is dropped.
        for (std::size_t guard = 0; guard < 64; ++guard) {
            const std::size_t room = ring_->writable() / deviceChannels_;
            const auto step = resampler_->process(
                {}, std::span(resampled_).first(std::min(room, kChunkFrames) * sourceChannels_), true);
            if (step.made == 0) {
                break;
            }
            push(resampled_.data(), step.made);
        }
    }
    inputFinished_ = true;
}

void PortAudioSink::fill(float* out, unsigned long frames) {
    const std::size_t wanted = frames * static_cast<std::size_t>(deviceChannels_);
    const std::size_t got = ring_->read(out, wanted);
    std::fill(out + got, out + wanted, 0.0f);
    const std::size_t gotFrames = got / deviceChannels_;
    gain_.apply(out, gotFrames, deviceChannels_);
    // After the last frame the silence is counted too, so that the end is reported
    // only once the device latency has passed and the last frame was heard.
    const bool drained = inputFinished_.load(std::memory_order_acquire) && gotFrames < frames;
    framesOut_.fetch_add(drained ? frames : gotFrames, std::memory_order_relaxed);
}

std::uint64_t PortAudioSink::framesPlayed() const {
    if (stream_ == nullptr) {
        return 0;
    }
    const std::uint64_t out = framesOut_.load(std::memory_order_relaxed);
    const std::uint64_t heard = out > latencyFrames_ ? out - latencyFrames_ : 0;
    if (inputFinished_ && heard >= framesPushed_) {
        return framesWritten_;
    }
    const auto atSourceRate = static_cast<std::uint64_t>(static_cast<double>(heard) * sourceRate_ /
                                                         static_cast<double>(deviceRate_));
    return std::min(atSourceRate, framesWritten_);
}

bool PortAudioSink::failed() const {
    return stream_ != nullptr && Pa_IsStreamActive(asStream(stream_)) != 1;
}

void PortAudioSink::stop() {
    if (stream_ != nullptr) {
        Pa_AbortStream(asStream(stream_));
        Pa_CloseStream(asStream(stream_));
        stream_ = nullptr;
    }
    resampler_.reset();
    inputFinished_ = false;
}

} // namespace kestrova
