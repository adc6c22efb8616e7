#include "platform/SoundFileProbe.h"

#include "platform/wav/PcmWavFile.h"

#include <array>

namespace kestrova {

SoundFileProbe probeSoundFile(const QString& path) {
    // The playback's own open: what passes here plays, and a FIFO or a device is
    // refused before it is opened.
    const PcmWavOpenResult opened = PcmWavFile::open(path);
    if (!opened.file) {
        return {false, opened.error};
    }
    // A header the decoder takes may still lead to sound data it cannot read.
    std::array<float, 2> firstFrame{};
    if (opened.file->format().frameCount > 0 && opened.file->read(firstFrame.data(), 1) != 1) {
        return {false, QStringLiteral("Die Tondaten der Datei können nicht gelesen werden.")};
    }
    return {true, {}};
}

} // namespace kestrova
