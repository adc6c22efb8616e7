// The sound window's drawing and level table on arbitrary files: whatever the
// header claims, neither may read outside the file or crash.
#include "base/player/LevelTable.h"
#include "base/player/WaveHeader.h"
#include "base/player/Waveform.h"
#include "fuzz/FuzzInput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = kestrova::fuzz::bytesOf(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const kestrova::WaveInfo info = kestrova::fuzz::readWaveHeader(buffer);
    // The window draws whatever header it holds, so a rejected one is drawn too.
    kestrova::waveformLines(info, &buffer);
    const kestrova::LevelTable table = kestrova::LevelTable::build(buffer);
    for (const qint64 slider : {qint64{0}, qint64{1}, qint64{499'999}, qint64{999'999}, qint64{1'000'000}}) {
        (void)table.levelAt(slider);
    }
    return 0;
}
