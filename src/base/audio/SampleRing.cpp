#include "base/audio/SampleRing.h"

#include <algorithm>

namespace kestrova {

SampleRing::SampleRing(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), slots_(new std::atomic<std::uint8_t>[capacity_]) {
    for (std::size_t i = 0; i < capacity_; ++i) {
        slots_[i].store(0, std::memory_order_relaxed);
    }
}

void SampleRing::push(std::span<const std::uint8_t> samples) noexcept {
    const std::uint64_t start = written_.load(std::memory_order_relaxed);
    const std::uint64_t end = start + samples.size();
    // Announce the overwrite before touching any slot, so a reader that sees
    // one new slot value also sees the announcement.
    claimed_.store(end, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    // Only the newest `capacity_` samples of an oversized block can survive.
    const std::size_t keep = std::min(samples.size(), capacity_);
    const std::size_t skip = samples.size() - keep;
    // One division per block, not one per sample: it was most of the copy's cost.
    std::size_t slot = static_cast<std::size_t>((start + skip) % capacity_);
    for (const std::uint8_t sample : samples.subspan(skip)) {
        slots_[slot].store(sample, std::memory_order_relaxed);
        slot = slot + 1 == capacity_ ? 0 : slot + 1;
    }
    written_.store(end, std::memory_order_release);
}

std::size_t SampleRing::pop(std::vector<std::uint8_t>& sink) {
    const std::uint64_t written = written_.load(std::memory_order_acquire);
    if (written <= read_) {
        return 0;
    }
    if (written - read_ > capacity_) {
        dropped_ += written - capacity_ - read_;
        read_ = written - capacity_;
    }
    const auto count = static_cast<std::size_t>(written - read_);
    const std::size_t first = sink.size();
    sink.resize(first + count);
    std::size_t slot = static_cast<std::size_t>(read_ % capacity_);
    for (std::size_t i = 0; i < count; ++i) {
        sink[first + i] = slots_[slot].load(std::memory_order_relaxed);
        slot = slot + 1 == capacity_ ? 0 : slot + 1;
    }
    std::atomic_thread_fence(std::memory_order_acquire);
    const std::uint64_t claimed = claimed_.load(std::memory_order_relaxed);
    // Positions below claimed - capacity may have been overwritten during the copy.
    std::size_t torn = 0;
    if (claimed > capacity_ && claimed - capacity_ > read_) {
        torn = static_cast<std::size_t>(std::min<std::uint64_t>(claimed - capacity_ - read_, count));
    }
    if (torn > 0) {
        sink.erase(sink.begin() + static_cast<std::ptrdiff_t>(first),
                   sink.begin() + static_cast<std::ptrdiff_t>(first + torn));
        dropped_ += torn;
    }
    read_ = written;
    return count - torn;
}

} // namespace kestrova
