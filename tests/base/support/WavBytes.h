#pragma once

#include <QByteArray>
#include <cstdint>

namespace kestrova::test {

inline void putLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A chunk with its pad byte when the body has an odd size.
inline QByteArray chunk(const char* id, const QByteArray& body, std::uint32_t claimedSize = 0xFFFFFFFFu) {
    QByteArray out(id, 4);
    putLe(out, claimedSize == 0xFFFFFFFFu ? static_cast<std::uint32_t>(body.size()) : claimedSize, 4);
    out.append(body);
    if (body.size() % 2 != 0) {
        out.append('\0');
    }
    return out;
}

inline QByteArray fmtBody(int channels, std::uint32_t rate, int bits, std::uint16_t tag = 1) {
    QByteArray body;
    putLe(body, tag, 2);
    putLe(body, static_cast<std::uint32_t>(channels), 2);
    putLe(body, rate, 4);
    putLe(body, rate * static_cast<std::uint32_t>(channels * bits / 8), 4);
    putLe(body, static_cast<std::uint32_t>(channels * bits / 8), 2);
    putLe(body, static_cast<std::uint32_t>(bits), 2);
    return body;
}

// WAVE_FORMAT_EXTENSIBLE with the given sub-format code (1: PCM, 3: float).
inline QByteArray extensibleFmtBody(int channels, std::uint32_t rate, int bits, std::uint16_t subFormat = 1) {
    QByteArray body = fmtBody(channels, rate, bits, 0xFFFE);
    putLe(body, 22, 2);
    putLe(body, static_cast<std::uint32_t>(bits), 2);
    putLe(body, channels == 1 ? 0x4 : 0x3, 4);
    putLe(body, subFormat, 2);
    body.append(QByteArray::fromHex("000000001000800000aa00389b71"));
    return body;
}

inline QByteArray riff(const QByteArray& chunks) {
    QByteArray out("RIFF");
    putLe(out, static_cast<std::uint32_t>(chunks.size() + 4), 4);
    out.append("WAVE");
    out.append(chunks);
    return out;
}

inline QByteArray wav(int channels, std::uint32_t rate, int bits, const QByteArray& data) {
    return riff(chunk("fmt ", fmtBody(channels, rate, bits)) + chunk("data", data));
}

// 16-bit mono samples counting up from `first`, so a played sample tells its frame.
inline QByteArray rampData(int frames, int first = 0) {
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        putLe(data, static_cast<std::uint32_t>(static_cast<std::uint16_t>((first + i) & 0x7FFF)), 2);
    }
    return data;
}

} // namespace kestrova::test
