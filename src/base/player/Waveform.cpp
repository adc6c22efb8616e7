#include "base/player/Waveform.h"

#include "base/common/NumericValue.h"

#include <QIODevice>
#include <QtEndian>
#include <cstdlib>

namespace kestrova {

namespace {

// One sample as the drawing sees it: 8-bit around its midpoint, anything else as
// a 16-bit magnitude.
struct SampleFormat {
    bool eightBit;
    int bytes() const { return eightBit ? 1 : 2; }
    int value(const char* at) const {
        if (eightBit) {
            return int(static_cast<unsigned char>(*at)) - 128;
        }
        return std::abs(int(qFromLittleEndian<qint16>(at)));
    }
};

bool readFrame(QIODevice& source, qint64 position, char* frame, int size) {
    // Checked first: some devices complain about a seek past their end.
    return position >= 0 && position + size <= source.size() && source.seek(position) &&
           source.read(frame, size) == size;
}

} // namespace

WaveformLayout waveformLayout(const WaveInfo& info) {
    WaveformLayout layout;
    layout.centreY = 32;
    layout.scale = info.bitsPerSample == 16 ? 65.0 / 65535.0 : 65.0 / 300.0;
    // Whole frames of 4 bytes, so a column never starts inside a 16-bit stereo frame.
    layout.step = roundToWhole(double(info.dataLength) / kWaveformWidth) & ~qint64(3);
    if (layout.step < 0) {
        layout.step = 0;
    }
    layout.stereo = info.channels == 2;
    if (layout.stereo) {
        layout.centreY = 16;
        layout.scale /= 2;
    }
    return layout;
}

std::vector<WaveformLine> waveformLines(const WaveInfo& info, QIODevice* source) {
    const WaveformLayout layout = waveformLayout(info);
    const int secondCentre = kWaveformHeight - layout.centreY;
    std::vector<WaveformLine> lines;
    lines.push_back({{0, layout.centreY}, {kWaveformWidth, layout.centreY}});
    if (layout.stereo) {
        lines.push_back({{0, secondCentre}, {kWaveformWidth, secondCentre}});
    }
    if (layout.step == 0 || source == nullptr || !source->isOpen()) {
        return lines;
    }
    const SampleFormat format{info.bitsPerSample == 8};
    const int frameSize = format.bytes() * (layout.stereo ? 2 : 1);
    char frame[4];
    qint64 position = info.dataStart;
    // Columns right of the area would never be seen, so they are not read either.
    for (int x = 1; x <= kWaveformWidth; ++x) {
        if (!readFrame(*source, position, frame, frameSize)) {
            break;
        }
        const long long a = roundToWhole(layout.scale * format.value(frame));
        lines.push_back({{x, int(layout.centreY - a)}, {x, int(layout.centreY + a)}});
        if (layout.stereo) {
            const long long b = roundToWhole(layout.scale * format.value(frame + format.bytes()));
            lines.push_back({{x, int(secondCentre - b)}, {x, int(secondCentre + b)}});
        }
        position += layout.step;
        if (position > info.fileLength) {
            break;
        }
    }
    return lines;
}

} // namespace kestrova
