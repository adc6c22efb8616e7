#include "base/wav/WavChunks.h"

#include <QIODevice>
#include <algorithm>
#include <cctype>

namespace kestrova {

namespace {

// Enough for any real file; a file of countless tiny chunks is not walked to its end.
constexpr int kMaxChunks = 4096;

bool sameIgnoringCase(const char* bytes, const char* id) {
    return std::equal(bytes, bytes + 4, id, [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
}

std::uint32_t le32(const char* p) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(p[i]);
    }
    return value;
}

} // namespace

bool WavChunk::is(const char* name) const {
    return sameIgnoringCase(id.data(), name);
}

bool walkWavChunks(QIODevice& device, const std::function<bool(const WavChunk&)>& visit) {
    const std::int64_t size = std::max<qint64>(device.size(), 0);
    char header[12];
    if (!device.seek(0) || device.read(header, 12) != 12 || !sameIgnoringCase(header, "RIFF") ||
        !sameIgnoringCase(header + 8, "WAVE")) {
        return false;
    }
    std::int64_t offset = 12;
    for (int count = 0; count < kMaxChunks && offset + 8 <= size; ++count) {
        char chunkHeader[8];
        if (!device.seek(offset) || device.read(chunkHeader, 8) != 8) {
            break;
        }
        WavChunk chunk;
        std::copy(chunkHeader, chunkHeader + 4, chunk.id.begin());
        chunk.offset = offset;
        chunk.size = le32(chunkHeader + 4);
        if (!visit(chunk)) {
            break;
        }
        offset += 8 + static_cast<std::int64_t>(chunk.size) + (chunk.size & 1); // padded to even sizes
    }
    return true;
}

std::optional<WavLayout> findWavLayout(QIODevice& device) {
    WavLayout layout;
    const bool riff = walkWavChunks(device, [&layout](const WavChunk& chunk) {
        if (chunk.is("fmt ") && !layout.format) {
            layout.format = chunk;
        } else if (chunk.is("data")) {
            layout.data = chunk;
            return false;
        }
        return true;
    });
    return riff ? std::optional(layout) : std::nullopt;
}

} // namespace kestrova
