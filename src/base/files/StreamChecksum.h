#pragma once

#include <QtGlobal>

namespace kestrova {

// A 64-bit checksum of a stream of bytes, the same however the stream is cut into
// pieces: what a save wrote, in the pieces it was given, against what it reads
// back in blocks of its own. It is no cryptographic hash, only a check for bytes
// that changed on the way; one changed word always changes it, and it costs a
// small part of reading the bytes.
class StreamChecksum {
public:
    void add(const char* data, qint64 size);
    // The checksum of everything added so far; adding may go on.
    quint64 result() const;
    void reset();

private:
    static quint64 mixed(quint64 state, quint64 word);

    quint64 state_ = kStart;
    // The bytes after the last whole word, waiting for the next piece.
    quint64 tail_ = 0;
    int tailBytes_ = 0;

    static constexpr quint64 kStart = 0x6a09e667f3bcc908ULL;
};

} // namespace kestrova
