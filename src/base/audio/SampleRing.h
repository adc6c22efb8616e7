#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kestrova {

// Lock-free hand-over of samples from the audio callback (one producer) to the
// user-interface thread (one consumer). The producer never waits: when the
// consumer falls behind by more than the capacity, the oldest samples are
// overwritten and the consumer counts them as dropped. The consumer detects
// slots overwritten while it copies them (seqlock style) and drops those too,
// so it never hands out torn data.
class SampleRing {
public:
    explicit SampleRing(std::size_t capacity);
    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    std::size_t capacity() const noexcept { return capacity_; }

    // Producer only. No allocation, no locks.
    void push(std::span<const std::uint8_t> samples) noexcept;

    // Consumer only. Appends every sample not read yet to `sink`; returns how many.
    std::size_t pop(std::vector<std::uint8_t>& sink);
    // Consumer only.
    std::uint64_t dropped() const noexcept { return dropped_; }

private:
    static_assert(std::atomic<std::uint8_t>::is_always_lock_free);
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

    std::size_t capacity_;
    std::unique_ptr<std::atomic<std::uint8_t>[]> slots_;
    std::atomic<std::uint64_t> claimed_{0}; // end of the positions being written
    std::atomic<std::uint64_t> written_{0}; // end of the positions completely written
    std::uint64_t read_ = 0;
    std::uint64_t dropped_ = 0;
};

} // namespace kestrova
