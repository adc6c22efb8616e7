#pragma once

#include <QIODevice>
#include <array>
#include <cstdint>
#include <vector>

namespace kestrova {

// A read-only view of a WAV file on a seekable device in which the ids RIFF,
// WAVE, "fmt " and "data" are spelled in the letter case the decoder insists on.
// Many recorders write them in other cases and other readers accept that, so
// such files are shown to the decoder as it expects them; nothing else changes.
class WavIdView {
public:
    explicit WavIdView(QIODevice& device);

    std::int64_t size() const { return size_; }
    std::int64_t position() const { return position_; }
    // Positions outside the file are refused.
    bool seek(std::int64_t offset);
    // Reads up to `count` bytes from the position; returns how many.
    std::int64_t read(unsigned char* out, std::int64_t count);

private:
    struct Respelling {
        std::int64_t offset;
        std::array<char, 4> id;
    };

    void respell(std::int64_t offset, const char* id);
    void findIds();

    QIODevice& device_;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
    std::vector<Respelling> respellings_;
};

} // namespace kestrova
