#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <cstdint>

namespace kestrova::test {

inline void appendLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A recording as the capture device writes it: RIFF header, a format chunk of
// formatLength bytes (16 gives the 44-byte header) and the data chunk right after.
inline QByteArray recordingBytes(std::uint32_t rate, std::uint32_t dataLength, std::uint16_t blockAlign = 1,
                                 std::uint32_t formatLength = 16) {
    QByteArray out("RIFF");
    appendLe(out, 36 + (formatLength - 16) + dataLength, 4);
    out.append("WAVEfmt ");
    appendLe(out, formatLength, 4);
    appendLe(out, 1, 2); // PCM
    appendLe(out, 1, 2); // mono
    appendLe(out, rate, 4);
    appendLe(out, rate * blockAlign, 4);
    appendLe(out, blockAlign, 2);
    appendLe(out, 8 * blockAlign, 2);
    out.append(QByteArray(static_cast<qsizetype>(formatLength - 16), '\0'));
    out.append("data");
    appendLe(out, dataLength, 4);
    out.append(QByteArray(static_cast<qsizetype>(dataLength), '\x80'));
    return out;
}

// seconds of 8-bit mono sound at 11025 samples per second.
inline QByteArray recordingOfSeconds(int seconds) {
    return recordingBytes(11025, static_cast<std::uint32_t>(seconds) * 11025);
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A recording of `seconds` written as if filed at `filed` (its modification time).
inline bool writeFiled(const QString& path, int seconds, const QDateTime& filed) {
    QFile file(path);
    return writeBytes(path, recordingOfSeconds(seconds)) && file.open(QIODevice::ReadWrite) &&
           file.setFileTime(filed, QFileDevice::FileModificationTime);
}

} // namespace kestrova::test
