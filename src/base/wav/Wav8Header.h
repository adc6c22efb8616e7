#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace kestrova {

constexpr std::size_t kWav8HeaderSize = 44;

// The 44-byte header of an 8-bit unsigned mono PCM WAV file holding `samples`
// samples at `sampleRate`: RIFF, WAVE, a 16-byte "fmt " chunk, then "data".
std::array<std::uint8_t, kWav8HeaderSize> wav8Header(std::uint32_t samples, int sampleRate);

// Offsets of the two size fields that grow with the data.
constexpr std::size_t kWavRiffSizeOffset = 4;
constexpr std::size_t kWavDataSizeOffset = 40;

// A RIFF size field is 32 bits; a file stops growing before it would overflow.
constexpr std::uint32_t kWav8MaxSamples = std::numeric_limits<std::uint32_t>::max() - kWav8HeaderSize;

} // namespace kestrova
