#include "base/audio/FrameRing.h"

#include <algorithm>

namespace kestrova {

FrameRing::FrameRing(std::size_t capacity) : buffer_(std::max<std::size_t>(capacity, 1)) {}

std::size_t FrameRing::readable() const {
    return written_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire);
}

std::size_t FrameRing::writable() const {
    return buffer_.size() - readable();
}

std::size_t FrameRing::write(const float* samples, std::size_t count) {
    const std::size_t w = written_.load(std::memory_order_relaxed);
    const std::size_t n = std::min(count, buffer_.size() - (w - read_.load(std::memory_order_acquire)));
    const std::size_t start = w % buffer_.size();
    const std::size_t first = std::min(n, buffer_.size() - start);
    std::copy_n(samples, first, buffer_.begin() + static_cast<std::ptrdiff_t>(start));
    std::copy_n(samples + first, n - first, buffer_.begin());
    written_.store(w + n, std::memory_order_release);
    return n;
}

std::size_t FrameRing::read(float* samples, std::size_t count) {
    const std::size_t r = read_.load(std::memory_order_relaxed);
    const std::size_t n = std::min(count, written_.load(std::memory_order_acquire) - r);
    const std::size_t start = r % buffer_.size();
    const std::size_t first = std::min(n, buffer_.size() - start);
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(start), first, samples);
    std::copy_n(buffer_.begin(), n - first, samples + first);
    read_.store(r + n, std::memory_order_release);
    return n;
}

void FrameRing::clear() {
    written_.store(0, std::memory_order_relaxed);
    read_.store(0, std::memory_order_relaxed);
}

} // namespace kestrova
