#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/SampleRing.h"
#include "base/audio/WakeEvent.h"

#include <QByteArray>
#include <atomic>
#include <memory>
#include <thread>

using snd_pcm_t = struct _snd_pcm;

namespace kestrova {

// One ALSA capture device opened by its name, delivering 8-bit unsigned mono at the
// wanted rate (ALSA converts where the device cannot). A thread of its own reads
// what has come, a period at a time, and hands it over through a lock-free ring.
class AlsaInputStream final : public InputStream {
public:
    // How much the device hands over at a time.
    static constexpr int kPeriodMs = 400;

    // Nothing when the device cannot be opened or refuses the format.
    static std::unique_ptr<AlsaInputStream> open(const QByteArray& alsaName, int sampleRate);
    ~AlsaInputStream() override;
    AlsaInputStream(const AlsaInputStream&) = delete;
    AlsaInputStream& operator=(const AlsaInputStream&) = delete;

    int sampleRate() const override { return sampleRate_; }
    std::size_t read(std::vector<std::uint8_t>& sink) override { return ring_.pop(sink); }
    std::uint64_t droppedSamples() const override { return ring_.dropped(); }
    bool failed() const override { return failed_.load(); }

private:
    struct PcmCloser {
        void operator()(snd_pcm_t* pcm) const;
    };
    using Pcm = std::unique_ptr<snd_pcm_t, PcmCloser>;
    AlsaInputStream(Pcm pcm, int sampleRate, std::size_t bufferFrames);
    void capture();
    int waitForBlock();
    // False when the device cannot go on.
    bool recover(long error);

    Pcm pcm_;
    int sampleRate_;
    SampleRing ring_;
    std::vector<std::uint8_t> block_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
    WakeEvent stop_;
    // Last: started once everything it uses is there, joined before it goes.
    std::thread reader_;
};

} // namespace kestrova
