#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace kestrova {

// Single-producer single-consumer ring of float samples: the feeder writes, the
// audio callback reads, neither ever waits for the other.
class FrameRing {
public:
    explicit FrameRing(std::size_t capacity);

    std::size_t capacity() const { return buffer_.size(); }
    std::size_t readable() const;
    std::size_t writable() const;
    // Both move as many samples as fit and return how many.
    std::size_t write(const float* samples, std::size_t count);
    std::size_t read(float* samples, std::size_t count);
    // Only while no callback runs.
    void clear();

private:
    std::vector<float> buffer_;
    // Running totals; their difference is the fill level.
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> read_{0};
};

} // namespace kestrova
