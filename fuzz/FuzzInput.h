#pragma once

#include "base/player/WaveHeader.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace kestrova::fuzz {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Reads a header from `buffer` as the sound window does, completing a valid one.
inline WaveInfo readWaveHeader(QBuffer& buffer) {
    WaveInfo info;
    if (parseWaveHeader(buffer, info) == WaveHeaderVerdict::Valid) {
        completeWaveInfo(info);
    }
    return info;
}

// Readers that take a path get the input through one scratch file per process.
inline QString writeScratchFile(const QByteArray& bytes) {
    static const QString path =
        QDir::temp().filePath(QStringLiteral("kestrova-fuzz-%1.bin").arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
    return path;
}

} // namespace kestrova::fuzz
