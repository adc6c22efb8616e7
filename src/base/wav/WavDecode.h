#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace kestrova {

// Reads a WAV file in any coding the playback decodes (any rate, any channel
// count) and returns its samples as 8-bit unsigned mono at `sampleRate`; nothing
// when the file cannot be read or played. A data chunk cut short (a crashed
// recording) yields the samples that are there.
std::optional<std::vector<std::uint8_t>> decodeWavToPcm8Mono(const QString& path, int sampleRate);

} // namespace kestrova
