#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QIODevice;

namespace kestrova {

// One chunk header of a RIFF WAVE file.
struct WavChunk {
    std::array<char, 4> id{};
    std::int64_t offset = 0; // of the chunk header; the contents follow 8 bytes later
    std::uint32_t size = 0;  // of the contents, without the padding byte

    // Ids are compared in any letter case: many recorders write them so, and
    // other readers accept that.
    bool is(const char* name) const;
};

// Calls `visit` for each chunk header after "RIFF....WAVE" on a seekable device,
// in file order, until it returns false, the file ends or more chunks than any
// real file has were seen. False when the device does not begin with RIFF and WAVE.
bool walkWavChunks(QIODevice& device, const std::function<bool(const WavChunk&)>& visit);

// The format chunk and the data chunk, as far as they come before the end.
struct WavLayout {
    std::optional<WavChunk> format;
    std::optional<WavChunk> data;
};

// Nothing when the device does not hold a RIFF WAVE file.
std::optional<WavLayout> findWavLayout(QIODevice& device);

} // namespace kestrova
