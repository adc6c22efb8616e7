#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

class QIODevice;

namespace kestrova {

// The faster speeds overwrite the 32-bit sample-rate field at byte 24 and leave
// every other byte alone, so the same samples play faster. For a recording at
// 11,025 samples per second the rates are 12,127, 14,332 and 16,528; a file at
// another rate is sped up by the same factors.
inline constexpr qint64 kRateFieldOffset = 24;
inline constexpr qint32 kSpeedReferenceRate = 11'025;
inline constexpr std::array<qint32, 3> kSpeedRatesAtReference{12'127, 14'332, 16'528};

// The rate of the copy for speed 1 to 3 of a file at `fileRate`, rounded. A rate
// of 0 or below is no rate to speed up and stays as it is.
qint32 speedRate(qint32 fileRate, int speed);

// Copies `source` to `target` with the rate field replaced by `rate`, block by
// block, so the file is never held in memory. False when the source holds fewer
// than 28 bytes or a read or write fails.
bool copyWithRate(QIODevice& source, QIODevice& target, qint32 rate);

// Writes the copy for speed 1 to 3 of the file `source` to `target`, replacing it
// only once the whole copy is written: a failed copy leaves no half file behind.
bool writeSpeedCopy(const QString& source, const QString& target, int speed);

} // namespace kestrova
