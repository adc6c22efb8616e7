#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/SampleHistory.h"

#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kestrova {

// Holds the one open input stream (a hardware device cannot be opened twice):
// the level meter and the capture share it. Everything runs on the
// user-interface thread; pump() drains the stream and fans the samples out.
// Samples are named by their place in received(), which counts on across devices.
// A device that cannot be opened, or stops delivering, is released and opened
// again now and then, on pump(), until it delivers: the recorder listens
// unattended for days, and may start before the sound server does.
class InputHub {
public:
    // Receives every block pumped, with the rate of the stream it came from.
    using Sink = std::function<void(std::span<const std::uint8_t> samples, int sampleRate)>;

    // `elapsedMs` is any monotonic millisecond clock (default: a steady one).
    explicit InputHub(AudioInput& input, std::function<qint64()> elapsedMs = {});
    InputHub(const InputHub&) = delete;
    InputHub& operator=(const InputHub&) = delete;

    // Opens the device at `position` of the input's list (-1: system default).
    // When that device is already open (or being regained) its stream is kept, whatever
    // `sampleRate` asks: users of the stream follow sampleRate(). False when it cannot
    // be opened now; it is tried again on pump() all the same.
    bool open(int position, int sampleRate);
    void close();
    // Also while a lost device is being opened again.
    bool isOpen() const { return stream_ != nullptr || lost_; }
    int position() const { return position_; }
    int sampleRate() const { return isOpen() ? rate_ : 0; }
    // The device could not be opened, or reported an error or delivered nothing for
    // a while, and has not delivered since.
    bool inputLost() const { return lost_; }
    // The last attempt to open the device failed.
    bool inputUnavailable() const { return unavailable_; }

    void pump();

    // The most recent dest.size() samples, oldest first. When fewer have
    // arrived, only the end of `dest` is written; before any, nothing is.
    // With `skipNewest`, the samples as they stood that many samples ago.
    void latest(std::span<std::uint8_t> dest, std::size_t skipNewest = 0) const;
    // The samples from number `first` on to the newest, as far back as the history reaches.
    std::vector<std::uint8_t> since(std::uint64_t first) const;
    // Half a second at the stream's rate: what the capture keeps from before it starts.
    std::size_t preRollSamples() const { return static_cast<std::size_t>(sampleRate()) / 2; }
    // Samples pumped since the hub was made; keeps counting across devices.
    std::uint64_t received() const { return received_; }
    std::uint64_t droppedSamples() const { return stream_ ? stream_->droppedSamples() : 0; }

    // The sample whose level the meter is reporting right now, while it reports
    // it: a capture started for it keeps the half second before that sample.
    void setSignalAt(std::optional<std::uint64_t> sample) { signalAt_ = sample; }
    std::optional<std::uint64_t> signalAt() const { return signalAt_; }

    // Sinks must not be added or removed from inside a sink.
    int addSink(Sink sink);
    void removeSink(int id);

private:
    void fanOut();
    void loseStream(qint64 now);
    void reopenWhenDue();
    void takeStream(qint64 now);

    AudioInput& input_;
    std::function<qint64()> elapsedMs_;
    std::unique_ptr<InputStream> stream_;
    int position_ = 0;
    int requestedRate_ = 0;
    int rate_ = 0;
    bool lost_ = false;
    bool unavailable_ = false;
    // The stream in hand has delivered a block.
    bool delivered_ = false;
    qint64 lastDeliveryMs_ = 0;
    qint64 nextOpenMs_ = 0;
    SampleHistory history_;
    std::uint64_t received_ = 0;
    std::optional<std::uint64_t> signalAt_;
    std::vector<std::uint8_t> block_;
    std::vector<std::pair<int, Sink>> sinks_;
    int nextSinkId_ = 1;
};

} // namespace kestrova
