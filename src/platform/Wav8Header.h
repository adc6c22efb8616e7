#pragma once

#include <array>
#include <cstdint>

namespace kestrova {

constexpr std::size_t kWav8HeaderSize = 44;

// The 44-byte header of an 8-bit unsigned mono PCM WAV file holding `samples`
// samples at `sampleRate`: RIFF, WAVE, a 16-byte "fmt " chunk, then "data".
std::array<std::uint8_t, kWav8HeaderSize> wav8Header(std::uint32_t samples, int sampleRate);

// Offsets of the two size fields that grow with the data.
constexpr std::size_t kWavRiffSizeOffset = 4;
constexpr std::size_t kWavDataSizeOffset = 40;

} // namespace kestrova
