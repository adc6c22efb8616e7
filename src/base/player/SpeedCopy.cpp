#include "base/player/SpeedCopy.h"

#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"

#include <QFile>
#include <QtEndian>
#include <limits>
#include <vector>

namespace kestrova {

namespace {

constexpr qint64 kBlock = 1 << 16;
constexpr qint64 kRateFieldSize = 4;

// The rate field of the source; the device is left at its start.
bool readRate(QIODevice& source, qint32& rate) {
    char bytes[kRateFieldSize];
    const bool read = source.seek(kRateFieldOffset) && source.read(bytes, kRateFieldSize) == kRateFieldSize;
    if (read) {
        rate = qFromLittleEndian<qint32>(bytes);
    }
    return source.seek(0) && read;
}

} // namespace

qint32 speedRate(qint32 fileRate, int speed) {
    if (fileRate <= 0 || speed < 1 || speed > int(kSpeedRatesAtReference.size())) {
        return fileRate;
    }
    const qint64 factor = kSpeedRatesAtReference[std::size_t(speed - 1)];
    const qint64 rounded = (2 * qint64(fileRate) * factor + kSpeedReferenceRate) / (2 * kSpeedReferenceRate);
    return qint32(qMin<qint64>(rounded, std::numeric_limits<qint32>::max()));
}

bool copyWithRate(QIODevice& source, QIODevice& target, qint32 rate) {
    char rateBytes[kRateFieldSize];
    qToLittleEndian(rate, rateBytes);
    std::vector<char> block(kBlock);
    qint64 offset = 0;
    for (;;) {
        const qint64 got = source.read(block.data(), kBlock);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        for (qint64 i = 0; i < kRateFieldSize; ++i) {
            const qint64 at = kRateFieldOffset + i - offset;
            if (at >= 0 && at < got) {
                block[std::size_t(at)] = rateBytes[i];
            }
        }
        if (target.write(block.data(), got) != got) {
            return false;
        }
        offset += got;
    }
    return offset >= kRateFieldOffset + kRateFieldSize;
}

bool writeSpeedCopy(const QString& source, const QString& target, int speed) {
    if (speed < 1 || speed > int(kSpeedRatesAtReference.size())) {
        return false;
    }
    const RegularFileOpen opened = openRegularFile(source);
    qint32 fileRate = 0;
    if (!opened.file || !readRate(*opened.file, fileRate)) {
        return false;
    }
    // Written beside the target and renamed over it, so the target may be the source itself.
    SafeSaveFile output(target);
    if (!output.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!copyWithRate(*opened.file, output, speedRate(fileRate, speed))) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

} // namespace kestrova
