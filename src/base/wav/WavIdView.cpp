#include "base/wav/WavIdView.h"

#include "base/wav/WavChunks.h"

#include <algorithm>

namespace kestrova {

WavIdView::WavIdView(QIODevice& device) : device_(device), size_(std::max<qint64>(device.size(), 0)) {
    findIds();
}

void WavIdView::respell(std::int64_t offset, const char* id) {
    Respelling respelling{offset, {}};
    std::copy(id, id + 4, respelling.id.begin());
    respellings_.push_back(respelling);
}

void WavIdView::findIds() {
    const bool riff = walkWavChunks(device_, [this](const WavChunk& chunk) {
        if (chunk.is("fmt ")) {
            respell(chunk.offset, "fmt ");
        } else if (chunk.is("data")) {
            respell(chunk.offset, "data");
            return false;
        }
        return true;
    });
    // Not a WAV file otherwise; the decoder says so itself.
    if (riff) {
        respell(0, "RIFF");
        respell(8, "WAVE");
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
