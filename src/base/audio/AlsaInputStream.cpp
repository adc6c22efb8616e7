#include "base/audio/AlsaInputStream.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <cerrno>
#include <poll.h>

namespace kestrova {

namespace {

// Seconds the ring holds while the program's thread is busy (four of the device's
// buffers: a reader copying out is not overtaken by a device that hands over a whole
// buffer at once), and a buffer of two seconds in the device. A service listens for
// months, and what it costs is mostly its wake-ups and the sound server's: with
// periods of 400 ms the reader, the PulseAudio plugin's thread and the server wake
// half as often as with 200 ms, and sixteen circuits cost a quarter less. The recorder
// loses nothing by it: it counts its pre-roll back from the sample that was heard.
constexpr int kRingSeconds = 8;
constexpr unsigned int kPeriodMicroseconds = AlsaInputStream::kPeriodMs * 1000U;
constexpr unsigned int kBufferMicroseconds = 2'000'000;
// A reader is woken to stop, and a device wakes it with each period; a device whose
// poll never wakes (ALSA's null device) is looked at a little more slowly than its
// periods come.
constexpr int kWaitMilliseconds = AlsaInputStream::kPeriodMs + AlsaInputStream::kPeriodMs / 4;

struct HwParamsFreer {
    void operator()(snd_pcm_hw_params_t* params) const { snd_pcm_hw_params_free(params); }
};

// 8-bit mono at the rate, periods of 400 ms; the frames of the buffer, 0 when refused.
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
    stop_.raise();
    reader_.join();
}

// Each read takes all that has come. Reading less, the PulseAudio plugin keeps the rest
// of the server's block borrowed until the next read; when the server goes away, its
// client waits for that block with the lock held that the next read needs, for ever.
void AlsaInputStream::capture() {
    while (!stopping_) {
        const int ready = waitForBlock();
        if (ready == 0 || stopping_) {
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

// Woken by a period, by the stop, or after a while: 1 to look at what has come, 0 for
// the stop, an error of the device. Looking after a while also reads a device whose
// poll never wakes (ALSA's null device) and one that stalls.
int AlsaInputStream::waitForBlock() {
    const int count = snd_pcm_poll_descriptors_count(pcm_.get());
    if (count <= 0) {
        return count < 0 ? count : -EIO;
    }
    std::vector<pollfd> watched(static_cast<std::size_t>(count) + 1);
    if (snd_pcm_poll_descriptors(pcm_.get(), watched.data(), static_cast<unsigned int>(count)) != count) {
        return -EIO;
    }
    watched.back() = {stop_.descriptor(), POLLIN, 0};
    const int woken = ::poll(watched.data(), watched.size(), kWaitMilliseconds);
    if (stopping_) {
        return 0;
    }
    if (woken < 0) {
        return errno == EINTR ? 1 : -errno;
    }
    // The plugin's own descriptors are cleared by asking it what they meant; an
    // overrun or a suspended device then shows in avail_update().
    unsigned short events = 0;
    const int revents = snd_pcm_poll_descriptors_revents(pcm_.get(), watched.data(),
                                                         static_cast<unsigned int>(count), &events);
    return revents < 0 ? revents : 1;
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
