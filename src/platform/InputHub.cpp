#include "platform/InputHub.h"

#include <algorithm>

namespace kestrova {

namespace {

// The meter hears a sample a quarter of a second late at the most, and a stalled
// user-interface thread gets behind; the pre-roll reaches back from there.
constexpr int kHistorySeconds = 3;

} // namespace

InputHub::InputHub(AudioInput& input) : input_(input) {}

bool InputHub::open(int position, int sampleRate) {
    if (stream_ && position == position_) {
        return true;
    }
    // Release the old device first: "default" and a hardware name may be the same card.
    close();
    stream_ = input_.open(position, sampleRate);
    if (!stream_) {
        return false;
    }
    position_ = position;
    history_ = SampleHistory(static_cast<std::size_t>(stream_->sampleRate()) * kHistorySeconds);
    return true;
}

void InputHub::close() {
    stream_.reset();
    history_.clear();
}

void InputHub::pump() {
    if (!stream_) {
        return;
    }
    block_.clear();
    if (stream_->read(block_) == 0 || block_.empty()) {
        return;
    }
    history_.append(block_);
    received_ += block_.size();
    const int rate = stream_->sampleRate();
    for (const auto& [id, sink] : sinks_) {
        sink(block_, rate);
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
