// The fixed-offset length reader of the recording list on arbitrary files.
#include "base/archive/RecordingLength.h"
#include "fuzz/FuzzInput.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = kestrova::fuzz::writeScratchFile(kestrova::fuzz::bytesOf(data, size));
    QStringList headerFields(13);
    kestrova::readRecordingLength(path, headerFields);
    return 0;
}
