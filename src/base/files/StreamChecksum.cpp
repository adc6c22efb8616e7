#include "base/files/StreamChecksum.h"

#include <QtEndian>
#include <cstring>

namespace kestrova {

namespace {
constexpr int kWordBytes = 8;
constexpr quint64 kOddMultiplier = 0x9e3779b97f4a7c15ULL;
} // namespace

quint64 StreamChecksum::mixed(quint64 state, quint64 word) {
    // Each step is one-to-one in the state for a given word, so a single changed
    // word cannot be undone by the words after it.
    state = (state ^ word) * kOddMultiplier;
    return state ^ (state >> 29);
}

void StreamChecksum::add(const char* data, qint64 size) {
    const char* const end = data + size;
    while (tailBytes_ > 0 && tailBytes_ < kWordBytes && data != end) {
        tail_ |= quint64(static_cast<unsigned char>(*data++)) << (8 * tailBytes_++);
    }
    if (tailBytes_ == kWordBytes) {
        state_ = mixed(state_, tail_);
        tail_ = 0;
        tailBytes_ = 0;
    }
    for (; end - data >= kWordBytes; data += kWordBytes) {
        quint64 word = 0;
        std::memcpy(&word, data, kWordBytes);
        state_ = mixed(state_, qFromLittleEndian(word));
    }
    for (; data != end; ++data) {
        tail_ |= quint64(static_cast<unsigned char>(*data)) << (8 * tailBytes_++);
    }
}

quint64 StreamChecksum::result() const {
    // The tail's length tells trailing zero bytes from none.
    return mixed(mixed(state_, tail_), quint64(tailBytes_));
}

void StreamChecksum::reset() {
    *this = StreamChecksum();
}

} // namespace kestrova
