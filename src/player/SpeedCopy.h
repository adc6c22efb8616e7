#pragma once

#include <QString>
#include <array>

class QIODevice;

namespace kestrova {

// The faster speeds replace the low half of the sample-rate field (bytes 24 and
// 25) with a fixed higher rate: 12,127, 14,332 and 16,528 samples per second.
inline constexpr qint64 kRateFieldOffset = 24;
inline constexpr std::array<std::array<char, 2>, 3> kSpeedRateBytes{{
    {char(0x5F), char(0x2F)},
    {char(0xFC), char(0x37)},
    {char(0x90), char(0x40)},
}};

// Copies `source` to `target` with bytes 24 and 25 replaced, block by block, so
// the file is never held in memory. False when the source holds fewer than 26
// bytes or a read or write fails.
bool copyWithRateBytes(QIODevice& source, QIODevice& target, std::array<char, 2> rateBytes);

// Writes the copy for speed 1 to 3 of the file `source` to `target`, replacing it
// only once the whole copy is written: a failed copy leaves no half file behind.
bool writeSpeedCopy(const QString& source, const QString& target, int speed);

} // namespace kestrova
