#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kestrova {

// The most recent samples of a stream, up to a fixed count (user-interface thread).
class SampleHistory {
public:
    explicit SampleHistory(std::size_t capacity = 0);

    void append(std::span<const std::uint8_t> samples);
    void clear();
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return buffer_.size(); }
    // Copies the newest min(dest.size(), size()) samples, oldest first, to the
    // end of `dest`; returns how many. The front of `dest` is left as it was.
    // With `skipNewest`, the history is read as it stood that many samples ago.
    std::size_t copyLatest(std::span<std::uint8_t> dest, std::size_t skipNewest = 0) const;

private:
    std::vector<std::uint8_t> buffer_;
    std::size_t next_ = 0; // where the next sample goes
    std::size_t size_ = 0;
};

} // namespace kestrova
