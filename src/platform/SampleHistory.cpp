#include "platform/SampleHistory.h"

#include <algorithm>

namespace kestrova {

SampleHistory::SampleHistory(std::size_t capacity) : buffer_(capacity) {}

void SampleHistory::append(std::span<const std::uint8_t> samples) {
    const std::size_t capacity = buffer_.size();
    if (capacity == 0) {
        return;
    }
    if (samples.size() >= capacity) {
        samples = samples.last(capacity);
    }
    for (const std::uint8_t sample : samples) {
        buffer_[next_] = sample;
        next_ = (next_ + 1) % capacity;
    }
    size_ = std::min(size_ + samples.size(), capacity);
}

void SampleHistory::clear() {
    next_ = 0;
    size_ = 0;
}

std::size_t SampleHistory::copyLatest(std::span<std::uint8_t> dest) const {
    const std::size_t count = std::min(dest.size(), size_);
    const std::size_t capacity = buffer_.size();
    std::size_t from = (next_ + capacity - count) % std::max<std::size_t>(capacity, 1);
    for (std::size_t i = dest.size() - count; i < dest.size(); ++i) {
        dest[i] = buffer_[from];
        from = (from + 1) % capacity;
    }
    return count;
}

} // namespace kestrova
