#include "base/audio/SampleHistory.h"

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
    // Whole runs rather than a sample at a time: the meter pumps a hundred times a second.
    const std::size_t first = std::min(samples.size(), capacity - next_);
    std::copy_n(samples.begin(), first, buffer_.begin() + static_cast<std::ptrdiff_t>(next_));
    std::copy(samples.begin() + static_cast<std::ptrdiff_t>(first), samples.end(), buffer_.begin());
    next_ = (next_ + samples.size()) % capacity;
    size_ = std::min(size_ + samples.size(), capacity);
}

void SampleHistory::clear() {
    next_ = 0;
    size_ = 0;
}

std::size_t SampleHistory::copyLatest(std::span<std::uint8_t> dest, std::size_t skipNewest) const {
    const std::size_t skip = std::min(skipNewest, size_);
    const std::size_t count = std::min(dest.size(), size_ - skip);
    if (count == 0) {
        return 0;
    }
    const std::size_t capacity = buffer_.size();
    const std::size_t from = (next_ + 2 * capacity - skip - count) % capacity;
    const std::size_t first = std::min(count, capacity - from);
    const auto out = dest.begin() + static_cast<std::ptrdiff_t>(dest.size() - count);
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(from), first, out);
    std::copy_n(buffer_.begin(), count - first, out + static_cast<std::ptrdiff_t>(first));
    return count;
}

} // namespace kestrova
