#include "platform/InputHub.h"

#include <algorithm>

namespace kestrova {

namespace {

// Enough for the pre-roll and for a meter showing up to a second.
constexpr int kHistorySeconds = 1;

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

std::vector<std::uint8_t> InputHub::recent(std::size_t count) const {
    std::vector<std::uint8_t> samples(std::min({count, preRollSamples(), history_.size()}));
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
