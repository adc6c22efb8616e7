#pragma once

#include "base/player/WaveHeader.h"

#include <QPoint>
#include <vector>

class QIODevice;

namespace kestrova {

// Size of the sound window's drawing area in pixels.
inline constexpr int kWaveformWidth = 296;
inline constexpr int kWaveformHeight = 65;

struct WaveformLine {
    QPoint from;
    QPoint to;
};

// How the samples of a file map onto the area: the centre of the first band,
// pixels per sample unit, and the bytes between two columns (0: too short to draw).
struct WaveformLayout {
    int centreY = 32;
    double scale = 0;
    qint64 step = 0;
    bool stereo = false;
};

WaveformLayout waveformLayout(const WaveInfo& info);

// The envelope of a file as lines: the centre line(s) first, then one vertical
// line per column and band, one sample frame read per column. Reading stops at
// the end of the file, at `info.fileLength` or at the right edge of the area;
// any header values are safe. `source` may be null or closed: then only the
// centre lines come back.
std::vector<WaveformLine> waveformLines(const WaveInfo& info, QIODevice* source);

} // namespace kestrova
