#include "base/web/ByteRange.h"

#include <algorithm>

namespace kestrova {

std::optional<ByteRange> parseByteRange(const QByteArray& header, qint64 fileSize) {
    const QByteArray value = header.trimmed();
    if (!value.startsWith("bytes=") || value.contains(',') || fileSize <= 0) {
        return std::nullopt;
    }
    const QByteArray bounds = value.mid(6);
    const qsizetype dash = bounds.indexOf('-');
    if (dash < 0) {
        return std::nullopt;
    }
    bool firstOk = false;
    bool lastOk = false;
    const qint64 first = bounds.left(dash).toLongLong(&firstOk);
    const qint64 last = bounds.mid(dash + 1).toLongLong(&lastOk);
    if (dash == 0) { // the last N bytes
        if (!lastOk || last <= 0) {
            return std::nullopt;
        }
        return ByteRange{std::max<qint64>(0, fileSize - last), fileSize - 1};
    }
    if (!firstOk || first < 0 || first >= fileSize) {
        return std::nullopt;
    }
    if (dash + 1 == bounds.size()) {
        return ByteRange{first, fileSize - 1};
    }
    if (!lastOk || last < first) {
        return std::nullopt;
    }
    return ByteRange{first, std::min(last, fileSize - 1)};
}

} // namespace kestrova
