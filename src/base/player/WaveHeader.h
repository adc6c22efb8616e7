#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

namespace kestrova {

// The header fields of the sound window's file, in the order they are read.
struct WaveInfo {
    qint64 fileLength = 0;
    QByteArray riffId;
    quint32 riffSize = 0;
    QByteArray waveId;
    QByteArray fmtId;
    qint32 fmtLength = 0;
    quint16 formatTag = 0;
    qint16 channels = 0;
    qint32 sampleRate = 0;
    qint32 bytesPerSecond = 0;
    quint16 blockAlign = 0;
    qint16 bitsPerSample = 0;
    qint64 dataStart = 0;
    qint64 dataLength = 0;

    bool operator==(const WaveInfo&) const = default;
};

enum class WaveHeaderVerdict {
    Valid,
    TooShort,      // under 40 bytes: the user gets to choose another file
    Unreadable,    // ended inside a field or chunk header, or could not be read
    UnknownFormat, // RIFF, WAVE or fmt id missing
    NoDataChunk,
};

// Smallest file that can hold the header and one chunk header.
inline constexpr qint64 kMinimumWaveFileLength = 40;

// The sound window's own reader, apart from the WAV reader that playback uses:
// the window shows and judges files exactly as it always has, with the format
// chunk fixed at offset 12, chunk sizes taken as signed and their magnitude used,
// and the data length rounded up to even; a common reader would change what it
// accepts and the lengths it shows.
// Reads the header and the chunk headers up to the data chunk from a random-access
// device opened for reading; chunk contents are skipped, never read. Fills the raw
// fields as far as they were read, even for a rejected file.
WaveHeaderVerdict parseWaveHeader(QIODevice& source, WaveInfo& info);

// The play length in seconds with two decimals, after clipping the data to the
// file and flooring the byte rate at 1; the completed fields go back into `info`.
QString completeWaveInfo(WaveInfo& info);

} // namespace kestrova
