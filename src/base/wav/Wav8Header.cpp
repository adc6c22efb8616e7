#include "base/wav/Wav8Header.h"

#include <cstring>

namespace kestrova {

namespace {

void put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

std::array<std::uint8_t, kWav8HeaderSize> wav8Header(std::uint32_t samples, int sampleRate) {
    std::array<std::uint8_t, kWav8HeaderSize> header{};
    std::uint8_t* h = header.data();
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::memcpy(h, "RIFF", 4);
    put32(h + kWavRiffSizeOffset, samples + static_cast<std::uint32_t>(kWav8HeaderSize - 8));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 1); // mono
    put32(h + 24, rate);
    put32(h + 28, rate); // one byte per sample
    put16(h + 32, 1);
    put16(h + 34, 8);
    std::memcpy(h + 36, "data", 4);
    put32(h + kWavDataSizeOffset, samples);
    return header;
}

} // namespace kestrova
