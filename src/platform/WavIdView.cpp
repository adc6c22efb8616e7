#include "platform/WavIdView.h"

#include <algorithm>
#include <cctype>

namespace kestrova {

namespace {

// Enough for any real file; a file of countless tiny chunks is not walked to its end.
constexpr int maxChunks = 4096;

bool sameIgnoringCase(const char* bytes, const char* id) {
    for (int i = 0; i < 4; ++i) {
        if (std::toupper(static_cast<unsigned char>(bytes[i])) !=
            std::toupper(static_cast<unsigned char>(id[i]))) {
            return false;
        }
    }
    return true;
}

std::uint32_t le32(const char* p) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(p[i]);
    }
    return value;
}

} // namespace

WavIdView::WavIdView(QIODevice& device) : device_(device), size_(std::max<qint64>(device.size(), 0)) {
    findIds();
}

void WavIdView::respell(std::int64_t offset, const char* id) {
    Respelling respelling{offset, {}};
    std::copy(id, id + 4, respelling.id.begin());
    respellings_.push_back(respelling);
}

void WavIdView::findIds() {
    char header[12];
    if (!device_.seek(0) || device_.read(header, 12) != 12 || !sameIgnoringCase(header, "RIFF") ||
        !sameIgnoringCase(header + 8, "WAVE")) {
        return; // not a WAV file; the decoder says so itself
    }
    respell(0, "RIFF");
    respell(8, "WAVE");
    std::int64_t offset = 12;
    for (int chunk = 0; chunk < maxChunks && offset + 8 <= size_; ++chunk) {
        char chunkHeader[8];
        if (!device_.seek(offset) || device_.read(chunkHeader, 8) != 8) {
            return;
        }
        if (sameIgnoringCase(chunkHeader, "fmt ")) {
            respell(offset, "fmt ");
        } else if (sameIgnoringCase(chunkHeader, "data")) {
            respell(offset, "data");
            return;
        }
        const std::int64_t chunkSize = le32(chunkHeader + 4);
        offset += 8 + chunkSize + (chunkSize & 1); // chunks are padded to even sizes
    }
}

bool WavIdView::seek(std::int64_t offset) {
    if (offset < 0 || offset > size_) {
        return false;
    }
    position_ = offset;
    return true;
}

std::int64_t WavIdView::read(unsigned char* out, std::int64_t count) {
    count = std::clamp<std::int64_t>(count, 0, size_ - position_);
    if (count == 0 || (device_.pos() != position_ && !device_.seek(position_))) {
        return 0;
    }
    const qint64 got = device_.read(reinterpret_cast<char*>(out), count);
    if (got <= 0) {
        return 0;
    }
    for (const Respelling& r : respellings_) {
        for (std::int64_t i = 0; i < 4; ++i) {
            const std::int64_t at = r.offset + i - position_;
            if (at >= 0 && at < got) {
                out[at] = static_cast<unsigned char>(r.id[static_cast<std::size_t>(i)]);
            }
        }
    }
    position_ += got;
    return got;
}

} // namespace kestrova
