#pragma once

#include <QByteArray>
#include <optional>

namespace kestrova {

// The bytes a "Range: bytes=..." header asks for, first and last included.
struct ByteRange {
    qint64 first = 0;
    qint64 last = 0;
    qint64 size() const { return last - first + 1; }
};

// nullopt for a header that asks for nothing the file has (or for several ranges).
std::optional<ByteRange> parseByteRange(const QByteArray& header, qint64 fileSize);

} // namespace kestrova
