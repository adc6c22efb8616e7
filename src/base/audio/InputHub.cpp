#include "base/audio/InputHub.h"

#include "base/desktop/SteadyClock.h"

#include <algorithm>

namespace kestrova {

namespace {

// The meter hears a sample a quarter of a second late at the most, and a stalled
// user-interface thread gets behind; the pre-roll reaches back from there.
constexpr int kHistorySeconds = 3;
// A running stream delivers every 200 or 400 ms; the ring bridges a stalled user
// interface, so an empty read this long after the last samples means the device
// is gone.
constexpr qint64 kSilentLimitMs = 1000;
// A sound server can take a second or two to hand over a new stream's first block;
// only a stream that has not delivered by now is taken for a dead one.
constexpr qint64 kFirstBlockLimitMs = 5000;
// Opening a device can take a tenth of a second on the user-interface thread.
constexpr qint64 kReopenIntervalMs = 1000;

} // namespace

InputHub::InputHub(AudioInput& input, std::function<qint64()> elapsedMs)
    : input_(input),
      elapsedMs_(elapsedMs ? std::move(elapsedMs) : std::function<qint64()>(steadyMilliseconds)) {}

bool InputHub::open(int position, int sampleRate) {
    if (isOpen() && position == position_) {
        return stream_ != nullptr || !unavailable_;
    }
    // Release the old device first: "default" and a hardware name may be the same card.
    close();
    position_ = position;
    requestedRate_ = sampleRate;
    rate_ = sampleRate;
    history_ = SampleHistory(static_cast<std::size_t>(rate_) * kHistorySeconds);
    stream_ = input_.open(position, sampleRate);
    const qint64 now = elapsedMs_();
    if (!stream_) {
        // Started before the sound server, say: tried again until it opens.
        lost_ = true;
        unavailable_ = true;
        nextOpenMs_ = now + kReopenIntervalMs;
        return false;
    }
    takeStream(now);
    return true;
}

void InputHub::close() {
    stream_.reset();
    lost_ = false;
    unavailable_ = false;
    history_.clear();
}

void InputHub::pump() {
    reopenWhenDue();
    if (!stream_) {
        return;
    }
    block_.clear();
    stream_->read(block_);
    const qint64 now = elapsedMs_();
    if (!block_.empty()) {
        lastDeliveryMs_ = now;
        delivered_ = true;
        lost_ = false;
        fanOut();
    } else if (stream_->failed() ||
               now - lastDeliveryMs_ >= (delivered_ ? kSilentLimitMs : kFirstBlockLimitMs)) {
        loseStream(now);
    }
}

void InputHub::fanOut() {
    history_.append(block_);
    received_ += block_.size();
    for (const auto& [id, sink] : sinks_) {
        sink(block_, rate_);
    }
}

// The device is released, so that whatever took it away can hand it back.
void InputHub::loseStream(qint64 now) {
    stream_.reset();
    lost_ = true;
    // What came before the gap is no pre-roll for what comes after it.
    history_.clear();
    nextOpenMs_ = now + kReopenIntervalMs;
}

void InputHub::reopenWhenDue() {
    if (!lost_ || stream_ || elapsedMs_() < nextOpenMs_) {
        return;
    }
    stream_ = input_.open(position_, requestedRate_);
    const qint64 now = elapsedMs_();
    nextOpenMs_ = now + kReopenIntervalMs;
    unavailable_ = !stream_;
    if (stream_) {
        takeStream(now);
    }
}

// A new stream has yet to deliver its first block.
void InputHub::takeStream(qint64 now) {
    lastDeliveryMs_ = now;
    delivered_ = false;
    if (stream_->sampleRate() != rate_) {
        rate_ = stream_->sampleRate();
        history_ = SampleHistory(static_cast<std::size_t>(rate_) * kHistorySeconds);
    }
}

void InputHub::latest(std::span<std::uint8_t> dest, std::size_t skipNewest) const {
    history_.copyLatest(dest, skipNewest);
}

std::vector<std::uint8_t> InputHub::since(std::uint64_t first) const {
    const std::uint64_t wanted = first < received_ ? received_ - first : 0;
    std::vector<std::uint8_t> samples(
        static_cast<std::size_t>(std::min<std::uint64_t>(wanted, history_.size())));
    history_.copyLatest(samples);
    return samples;
}

int InputHub::addSink(Sink sink) {
    sinks_.emplace_back(nextSinkId_, std::move(sink));
    return nextSinkId_++;
}

void InputHub::removeSink(int id) {
    std::erase_if(sinks_, [id](const auto& entry) { return entry.first == id; });
}

} // namespace kestrova
