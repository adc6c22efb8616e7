#include "player/SpeedCopy.h"

#include "platform/SafeSaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

namespace kestrova {

namespace {

constexpr qint64 kBlock = 1 << 16;

} // namespace

bool copyWithRateBytes(QIODevice& source, QIODevice& target, std::array<char, 2> rateBytes) {
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
        for (qint64 i = 0; i < 2; ++i) {
            const qint64 at = kRateFieldOffset + i - offset;
            if (at >= 0 && at < got) {
                block[std::size_t(at)] = rateBytes[std::size_t(i)];
            }
        }
        if (target.write(block.data(), got) != got) {
            return false;
        }
        offset += got;
    }
    return offset >= kRateFieldOffset + 2;
}

bool writeSpeedCopy(const QString& source, const QString& target, int speed) {
    if (speed < 1 || speed > int(kSpeedRateBytes.size()) || !QFileInfo(source).isFile()) {
        return false;
    }
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        return false;
    }
    // Written beside the target and renamed over it, so the target may be the source itself.
    SafeSaveFile output(target);
    if (!output.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!copyWithRateBytes(input, output, kSpeedRateBytes[std::size_t(speed - 1)])) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

} // namespace kestrova
