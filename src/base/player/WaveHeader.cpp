#include "base/player/WaveHeader.h"

#include <QIODevice>
#include <QtEndian>
#include <cstdlib>

namespace kestrova {

namespace {

// Reads exactly `count` bytes at `offset`; false when the file ends first.
bool readAt(QIODevice& source, qint64 offset, char* target, qint64 count) {
    if (offset < 0 || !source.seek(offset)) {
        return false;
    }
    qint64 done = 0;
    while (done < count) {
        const qint64 got = source.read(target + done, count - done);
        if (got <= 0) {
            return false;
        }
        done += got;
    }
    return true;
}

template <typename T> T little(const char* bytes) {
    return qFromLittleEndian<T>(bytes);
}

} // namespace

namespace {

// The RIFF header and the fixed part of the "fmt " chunk, at the start of the file.
void takeFixedHeader(const char* header, WaveInfo& info) {
    info.riffId = QByteArray(header, 4);
    info.riffSize = little<quint32>(header + 4);
    info.waveId = QByteArray(header + 8, 4);
    info.fmtId = QByteArray(header + 12, 4);
    info.fmtLength = little<qint32>(header + 16);
    info.formatTag = little<quint16>(header + 20);
    info.channels = little<qint16>(header + 22);
    info.sampleRate = little<qint32>(header + 24);
    info.bytesPerSecond = little<qint32>(header + 28);
    info.blockAlign = little<quint16>(header + 32);
    info.bitsPerSample = little<qint16>(header + 34);
    info.dataLength = 0;
}

// Walks the chunks after the fixed header up to the data chunk or the end of the
// file; `chunkId` is the last chunk's id, upper case. False when a read fails.
bool walkChunks(QIODevice& source, qint64 position, WaveInfo& info, QByteArray& chunkId) {
    qint64 skip = info.fmtLength > 16 ? qint64(info.fmtLength) - 16 : 0;
    // Every pass moves on by at least the 8-byte chunk header and a read past the
    // end of the file ends the walk, so it is bounded by the file's size.
    for (;;) {
        position += skip;
        char chunkHeader[8];
        if (!readAt(source, position, chunkHeader, sizeof chunkHeader)) {
            return false;
        }
        position += sizeof chunkHeader;
        chunkId = QByteArray(chunkHeader, 4).toUpper();
        qint64 chunkSize = std::llabs(qint64(little<qint32>(chunkHeader + 4)));
        if (chunkSize % 2 != 0) {
            ++chunkSize;
        }
        info.dataLength = chunkSize;
        if (chunkId == "DATA" || position + chunkSize > info.fileLength) {
            break;
        }
        skip = chunkSize;
    }
    info.dataStart = position;
    return true;
}

} // namespace

WaveHeaderVerdict parseWaveHeader(QIODevice& source, WaveInfo& info) {
    info.fileLength = source.size();
    if (info.fileLength < kMinimumWaveFileLength) {
        return WaveHeaderVerdict::TooShort;
    }
    char header[36];
    if (!readAt(source, 0, header, sizeof header)) {
        return WaveHeaderVerdict::Unreadable;
    }
    takeFixedHeader(header, info);
    QByteArray chunkId;
    if (!walkChunks(source, sizeof header, info, chunkId)) {
        return WaveHeaderVerdict::Unreadable;
    }
    if (info.riffId.toUpper() != "RIFF" || info.waveId.toUpper() != "WAVE" ||
        info.fmtId.toUpper() != "FMT ") {
        return WaveHeaderVerdict::UnknownFormat;
    }
    if (chunkId != "DATA") {
        return WaveHeaderVerdict::NoDataChunk;
    }
    return WaveHeaderVerdict::Valid;
}

QString completeWaveInfo(WaveInfo& info) {
    info.dataLength = qMin(info.dataLength, info.fileLength - info.dataStart);
    if (info.bytesPerSecond <= 1) {
        info.bytesPerSecond = 1;
    }
    return QString::number(double(info.dataLength) / info.bytesPerSecond, 'f', 2);
}

} // namespace kestrova
