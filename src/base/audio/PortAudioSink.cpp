#include "base/audio/PortAudioSink.h"

#include "base/audio/ChannelMix.h"
#include "base/audio/FrameRing.h"
#include "base/audio/OutputDeviceChoice.h"
#include "base/audio/OutputGain.h"
#include "base/wav/Resampler.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <portaudio.h>

namespace kestrova {

namespace {

constexpr double kRingSeconds = 2.0;
// Room kept free in the ring for the frames the converter gives out at the end.
constexpr std::size_t kTailReserveFrames = 8192;
constexpr std::size_t kChunkFrames = 4096;
// Blocks of 50 ms behind at least a quarter second of buffer, as for the input:
// the sound server and the callback wake about 20 times a second instead of
// hundreds, and the end of a sound is still known within a block of being heard.
constexpr double kBlockSeconds = 0.05;
constexpr double kMinimumLatencySeconds = 0.25;
// Silence after the last frame, and before the first one on the air, beyond the
// device's buffer: two blocks, for the callback's rhythm.
constexpr int kMarginBlocks = 2;
constexpr std::uint64_t kNoEnd = std::numeric_limits<std::uint64_t>::max();

int paCallback(const void* /*input*/, void* output, unsigned long frames,
               const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* user) {
    // How long until the first frame of this block is heard, where the host tells it.
    const bool told =
        time != nullptr && time->outputBufferDacTime > time->currentTime && time->currentTime > 0;
    static_cast<PortAudioSink*>(user)->fill(static_cast<float*>(output), frames,
                                            told ? time->outputBufferDacTime - time->currentTime : -1.0,
                                            told ? time->currentTime : -1.0);
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

bool PortAudioSink::start(int sampleRate, int channels, SoundStart soundStart) {
    stop();
    if (sampleRate <= 0 || channels < 1 || channels > 2) {
        return false;
    }
    session_.emplace();
    if (!session_->ok()) {
        session_.reset();
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
    if ((chosen != paNoDevice && openDevice(chosen, sampleRate, soundStart)) ||
        (chosen != fallback && fallback != paNoDevice && openDevice(fallback, sampleRate, soundStart))) {
        return true;
    }
    session_.reset();
    return false;
}

bool PortAudioSink::openDevice(int device, int sampleRate, SoundStart soundStart) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (info == nullptr || info->maxOutputChannels < 1) {
        return false;
    }
    PaStreamParameters params{};
    params.device = device;
    // Stereo where possible so that left and right gain both act, even on mono files.
    params.channelCount = std::min(info->maxOutputChannels, 2);
    params.sampleFormat = paFloat32;
    params.suggestedLatency = std::max(info->defaultHighOutputLatency, kMinimumLatencySeconds);
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
    framesOut_ = 0;
    framesHanded_ = 0;
    endFrame_ = kNoEnd;
    clockOrigin_ = std::numeric_limits<double>::quiet_NaN();
    inputFinished_ = false;

    PaStream* stream = nullptr;
    const auto framesPerBlock = static_cast<unsigned long>(rate * kBlockSeconds);
    if (Pa_OpenStream(&stream, nullptr, &params, rate, framesPerBlock,
                      paPrimeOutputBuffersUsingStreamCallback, paCallback, this) != paNoError) {
        resampler_.reset();
        return false;
    }
    const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream);
    const auto latency = static_cast<std::uint64_t>(
        std::max(streamInfo != nullptr ? streamInfo->outputLatency : 0.0, params.suggestedLatency) * rate);
    latencyFrames_.store(latency, std::memory_order_relaxed);
    marginFrames_ = latency + kMarginBlocks * static_cast<std::uint64_t>(framesPerBlock);
    leadInLeft_ = soundStart == SoundStart::AfterLeadIn ? marginFrames_ : 0;
    stream_ = stream;
    started_ = false;
    startRefused_ = false;
    if (soundStart == SoundStart::AfterLeadIn) {
        // The lead-in fills the device's buffer while the first frames come.
        startStream();
        if (startRefused_) {
            Pa_CloseStream(stream);
            stream_ = nullptr;
            resampler_.reset();
            return false;
        }
    }
    return true;
}

// A sound that begins at once starts its stream only once its first frames are in
// the ring: the stream fills the device's buffer from the ring as it starts, and
// silence put there before the sound would be heard first.
void PortAudioSink::startStream() {
    if (started_ || stream_ == nullptr) {
        return;
    }
    started_ = true;
    startRefused_ = Pa_StartStream(asStream(stream_)) != paNoError;
}

void PortAudioSink::push(const float* frames, std::size_t frameCount) {
    // Frames arrive at the file's channel count; the device may have the other one.
    for (std::size_t done = 0; done < frameCount;) {
        const std::size_t n = std::min(frameCount - done, kChunkFrames);
        const float* in = frames + done * sourceChannels_;
        const float* widened = in;
        if (sourceChannels_ != deviceChannels_) {
            mixChannels(in, sourceChannels_, widened_.data(), deviceChannels_, n);
            widened = widened_.data();
        }
        ring_->write(widened, n * deviceChannels_);
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
    if (used > 0) {
        startStream();
    }
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
    startStream();
}

void PortAudioSink::fill(float* out, unsigned long frames, double delaySeconds, double streamSeconds) {
    // A stream's first blocks can be lost to the sound server's rewinds when it
    // starts (a rewinding PulseAudio sink drops up to its latency of them): a sound
    // on the air begins after a lead-in of silence.
    const auto leadIn = static_cast<std::size_t>(std::min<std::uint64_t>(leadInLeft_, frames));
    leadInLeft_ -= leadIn;
    const auto channels = static_cast<std::size_t>(deviceChannels_);
    std::fill(out, out + leadIn * channels, 0.0f);
    out += leadIn * channels;
    frames -= leadIn;
    // Looked at before the ring: every frame pushed before the end was marked is then read.
    const bool finished = inputFinished_.load(std::memory_order_acquire);
    const std::size_t wanted = frames * channels;
    const std::size_t got = ring_->read(out, wanted);
    std::fill(out + got, out + wanted, 0.0f);
    const std::size_t gotFrames = got / channels;
    gain_.apply(out, gotFrames, deviceChannels_);
    const std::uint64_t before = framesOut_;
    // After the last frame the silence is counted too: the stream runs on, playing
    // it, until the last frame has left the buffers that a stop would throw away.
    const bool ended = finished && gotFrames < frames;
    if (ended && endFrame_.load(std::memory_order_relaxed) == kNoEnd) {
        endFrame_.store(before + gotFrames, std::memory_order_release);
    }
    framesOut_ = before + (ended ? frames : gotFrames);
    framesHanded_.store(framesOut_, std::memory_order_release);
    if (delaySeconds >= 0 && streamSeconds >= 0) {
        // The sound server's own buffer lies behind the latency PortAudio reports:
        // the delay the host tells for this block comes nearer the truth, though it
        // can fall short too (see playedToTheEnd). The frame heard now is the block's
        // first less that delay, and moves on with the stream's clock.
        const double blockStart = static_cast<double>(before) - static_cast<double>(leadIn);
        clockOrigin_.store(blockStart - (delaySeconds + streamSeconds) * deviceRate_,
                           std::memory_order_release);
    }
}

std::uint64_t PortAudioSink::framesHeard() const {
    const std::uint64_t handed = framesHanded_.load(std::memory_order_acquire);
    const double origin = clockOrigin_.load(std::memory_order_acquire);
    const double now = Pa_GetStreamTime(asStream(stream_));
    if (std::isnan(origin) || now <= 0) {
        // A host that tells no delay: the latency it reported stands in.
        const std::uint64_t latency = latencyFrames_.load(std::memory_order_relaxed);
        return handed > latency ? handed - latency : 0;
    }
    const double heard = origin + now * deviceRate_;
    return heard <= 0 ? 0 : std::min(handed, static_cast<std::uint64_t>(heard));
}

// A stop throws away what the device and the sound server still hold (PortAudio's
// ALSA host does not drain, and the pulse plugin flushes), and the latency a server
// reports can fall short of its buffer. So the sound has been played only when the
// device has been handed a buffer's worth of silence after its last frame, and the
// reported latency has passed too.
bool PortAudioSink::playedToTheEnd() const {
    const std::uint64_t end = endFrame_.load(std::memory_order_acquire);
    return end != kNoEnd && framesHanded_.load(std::memory_order_acquire) >= end + marginFrames_ &&
           framesHeard() >= end;
}

std::uint64_t PortAudioSink::framesPlayed() const {
    if (stream_ == nullptr) {
        return 0;
    }
    if (playedToTheEnd()) {
        return framesWritten_;
    }
    const auto atSourceRate = static_cast<std::uint64_t>(static_cast<double>(framesHeard()) * sourceRate_ /
                                                         static_cast<double>(deviceRate_));
    return std::min(atSourceRate, framesWritten_ > 0 ? framesWritten_ - 1 : 0);
}

bool PortAudioSink::failed() const {
    // A stream that waits for its first frames has not failed yet.
    return stream_ != nullptr && started_ && (startRefused_ || Pa_IsStreamActive(asStream(stream_)) != 1);
}

void PortAudioSink::stop() {
    if (stream_ != nullptr) {
        Pa_AbortStream(asStream(stream_));
        Pa_CloseStream(asStream(stream_));
        stream_ = nullptr;
    }
    session_.reset();
    resampler_.reset();
    inputFinished_ = false;
    started_ = false;
    startRefused_ = false;
}

} // namespace kestrova
