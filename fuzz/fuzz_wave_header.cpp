// The sound window's header reader on arbitrary bytes.
#include "base/player/WaveHeader.h"
#include "fuzz/FuzzInput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = kestrova::fuzz::bytesOf(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    static_cast<void>(kestrova::fuzz::readWaveHeader(buffer));
    return 0;
}
