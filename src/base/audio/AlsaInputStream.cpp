#include "base/audio/AlsaInputStream.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <cerrno>

namespace kestrova {

namespace {

// As the PortAudio input: seconds the ring holds while the user interface is busy,
// and a buffer of a second. Periods of 200 ms cost what the PortAudio input (100 ms
// blocks for its callback) cost; with 100 ms periods the reader and the PulseAudio
// plugin's thread woke twice as often and took half as much CPU time again.
constexpr int kRingSeconds = 4;
constexpr unsigned int kPeriodMicroseconds = 200'000;
constexpr unsigned int kBufferMicroseconds = 1'000'000;
// How long the reader waits for a block before it looks whether it is to stop.
constexpr int kWaitMilliseconds = 250;

struct HwParamsFreer {
    void operator()(snd_pcm_hw_params_t* params) const { snd_pcm_hw_params_free(params); }
};

// 8-bit mono at the rate, periods of 200 ms; the frames of the buffer, 0 when refused.
snd_pcm_uframes_t setFormat(snd_pcm_t* pcm, unsigned int rate) {
    snd_pcm_hw_params_t* allocated = nullptr;
    if (snd_pcm_hw_params_malloc(&allocated) < 0) {
        return 0;
    }
    const std::unique_ptr<snd_pcm_hw_params_t, HwParamsFreer> params(allocated);
    unsigned int bufferTime = kBufferMicroseconds;
    unsigned int periodTime = kPeriodMicroseconds;
    snd_pcm_uframes_t bufferFrames = 0;
    int direction = 0;
    if (snd_pcm_hw_params_any(pcm, params.get()) < 0 ||
        snd_pcm_hw_params_set_access(pcm, params.get(), SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_set_format(pcm, params.get(), SND_PCM_FORMAT_U8) < 0 ||
        snd_pcm_hw_params_set_channels(pcm, params.get(), 1) < 0 ||
        snd_pcm_hw_params_set_rate(pcm, params.get(), rate, 0) < 0 ||
        snd_pcm_hw_params_set_buffer_time_near(pcm, params.get(), &bufferTime, &direction) < 0 ||
        snd_pcm_hw_params_set_period_time_near(pcm, params.get(), &periodTime, &direction) < 0 ||
        snd_pcm_hw_params(pcm, params.get()) < 0 ||
        snd_pcm_hw_params_get_buffer_size(params.get(), &bufferFrames) < 0) {
        return 0;
    }
    return bufferFrames;
}

} // namespace

void AlsaInputStream::PcmCloser::operator()(snd_pcm_t* pcm) const {
    snd_pcm_close(pcm);
}

std::unique_ptr<AlsaInputStream> AlsaInputStream::open(const QByteArray& alsaName, int sampleRate) {
    if (sampleRate <= 0) {
        return nullptr;
    }
    snd_pcm_t* opened = nullptr;
    if (snd_pcm_open(&opened, alsaName.constData(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) {
        return nullptr;
    }
    Pcm pcm(opened);
    const snd_pcm_uframes_t bufferFrames = setFormat(pcm.get(), static_cast<unsigned int>(sampleRate));
    if (bufferFrames == 0 || snd_pcm_start(pcm.get()) < 0) {
        return nullptr;
    }
    return std::unique_ptr<AlsaInputStream>(new AlsaInputStream(std::move(pcm), sampleRate, bufferFrames));
}

AlsaInputStream::AlsaInputStream(Pcm pcm, int sampleRate, std::size_t bufferFrames)
    : pcm_(std::move(pcm)), sampleRate_(sampleRate),
      ring_(static_cast<std::size_t>(sampleRate) * kRingSeconds), block_(bufferFrames),
      reader_([this] { capture(); }) {}

AlsaInputStream::~AlsaInputStream() {
    stopping_ = true;
    reader_.join();
}

// Each read takes all that has come. Reading less, the PulseAudio plugin keeps the rest
// of the server's block borrowed until the next read; when the server goes away, its
// client waits for that block with the lock held that the next read needs, for ever.
void AlsaInputStream::capture() {
    while (!stopping_) {
        const int ready = snd_pcm_wait(pcm_.get(), kWaitMilliseconds);
        if (ready == 0) {
            continue;
        }
        long frames = ready < 0 ? ready : snd_pcm_avail_update(pcm_.get());
        if (frames > 0) {
            frames = snd_pcm_readi(pcm_.get(), block_.data(),
                                   std::min(static_cast<snd_pcm_uframes_t>(frames), block_.size()));
        }
        if (frames == -EAGAIN || frames == 0) {
            continue;
        }
        if (frames < 0) {
            if (!recover(frames)) {
                failed_ = true;
                return;
            }
            continue;
        }
        ring_.push(std::span<const std::uint8_t>(block_.data(), static_cast<std::size_t>(frames)));
    }
}

// An overrun (the reader came too late) or a suspended device is taken up again; the
// ring counts what was lost only for its own overruns, as with PortAudio.
bool AlsaInputStream::recover(long error) {
    if (snd_pcm_recover(pcm_.get(), static_cast<int>(error), 1) < 0) {
        return false;
    }
    return snd_pcm_state(pcm_.get()) == SND_PCM_STATE_RUNNING || snd_pcm_start(pcm_.get()) >= 0;
}

} // namespace kestrova
