#include "base/audio/FileFedInput.h"

#include "base/audio/FileFedStream.h"
#include "base/desktop/SteadyClock.h"
#include "base/wav/WavDecode.h"

#include <QFileInfo>

namespace kestrova {

FileFedInput::FileFedInput(AudioInput& wrapped, QString wavPath, std::function<qint64()> elapsedMs)
    : wrapped_(wrapped), wavPath_(std::move(wavPath)),
      elapsedMs_(elapsedMs ? std::move(elapsedMs) : std::function<qint64()>(steadyMilliseconds)) {}

std::vector<InputDeviceInfo> FileFedInput::devices() {
    // Listed even when unreadable, so the positions of the real devices do not
    // depend on the file; opening it then fails.
    std::vector<InputDeviceInfo> list{{QFileInfo(wavPath_).fileName(), true}};
    std::vector<InputDeviceInfo> real = wrapped_.devices();
    list.insert(list.end(), real.begin(), real.end());
    return list;
}

std::unique_ptr<InputStream> FileFedInput::open(int position, int sampleRate) {
    // The file is also the default input: a program fed from a file records it
    // even when it starts recording before the device list is filled.
    if (position <= 0) {
        auto samples = decodeWavToPcm8Mono(wavPath_, sampleRate);
        if (!samples) {
            return nullptr;
        }
        return std::make_unique<FileFedStream>(std::move(*samples), sampleRate, elapsedMs_);
    }
    return wrapped_.open(position - 1, sampleRate);
}

} // namespace kestrova
