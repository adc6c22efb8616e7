#include "base/common/Cp1252.h"

#include <array>

namespace kestrova {

namespace {
// 0x80..0x9F differ from Latin-1; 0 marks the five unassigned codes.
constexpr std::array<char16_t, 32> highControlBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

QString decodeCp1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F) {
            const char16_t mapped = highControlBlock[byte - 0x80];
            text.append(QChar(mapped != 0 ? mapped : byte));
        } else {
            text.append(QChar(byte));
        }
    }
    return text;
}

QByteArray encodeCp1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes.append(static_cast<char>(code));
            continue;
        }
        char encoded = '?';
        for (std::size_t i = 0; i < highControlBlock.size(); ++i) {
            if (highControlBlock[i] == code && code != 0) {
                encoded = static_cast<char>(0x80 + i);
                break;
            }
        }
        if (code >= 0x80 && code <= 0x9F) {
            encoded = static_cast<char>(code); // an unassigned code read back as itself
        }
        bytes.append(encoded);
    }
    return bytes;
}

} // namespace kestrova
