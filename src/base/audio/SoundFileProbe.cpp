#include "base/audio/SoundFileProbe.h"

#include "base/wav/PcmWavFile.h"

#include <QIODevice>
#include <algorithm>
#include <vector>

namespace kestrova {

namespace {

// What the playback decodes first, and what it asks for at a time.
constexpr std::uint64_t kFirstBlockFrames = 4096;

// Every start of the playback seeks and then decodes; a header the decoder takes
// may still lead to sound data it cannot seek in or read, and that is found here.
SoundFileProbe probeOpened(const PcmWavOpenResult& opened) {
    if (!opened.file) {
        return {false, opened.error};
    }
    PcmWavFile& file = *opened.file;
    // Nothing to send: keying for it would put an empty carrier on the air.
    if (file.format().frameCount == 0) {
        return {false, QStringLiteral("Die Datei enthält keine Tondaten.")};
    }
    if (!file.seek(0)) {
        return {false,
                QStringLiteral("In der Datei kann nicht an den Anfang der Tondaten gesprungen werden.")};
    }
    const std::uint64_t frames = std::min(kFirstBlockFrames, file.format().frameCount);
    std::vector<float> block(frames * static_cast<std::uint64_t>(file.format().channels));
    if (file.read(block.data(), frames) != frames) {
        return {false, QStringLiteral("Die Tondaten der Datei können nicht gelesen werden.")};
    }
    return {true, {}};
}

} // namespace

SoundFileProbe probeSoundFile(const QString& path) {
    // The playback's own open: what passes here plays, and a FIFO or a device is
    // refused before it is opened.
    return probeOpened(PcmWavFile::open(path));
}

SoundFileProbe probeSoundFile(std::unique_ptr<QIODevice> device) {
    return probeOpened(PcmWavFile::open(std::move(device)));
}

} // namespace kestrova
