#pragma once

#include "base/audio/AudioInput.h"

#include <QString>
#include <QtGlobal>
#include <functional>

namespace kestrova {

// Puts a WAV file in front of the real inputs as an extra device, so the
// program can be run against a recorded receiver. Position 0 is the file; the
// wrapped devices follow, shifted by one.
class FileFedInput final : public AudioInput {
public:
    // `elapsedMs` defaults to a steady clock.
    FileFedInput(AudioInput& wrapped, QString wavPath, std::function<qint64()> elapsedMs = {});

    std::vector<InputDeviceInfo> devices() override;
    std::unique_ptr<InputStream> open(int position, int sampleRate) override;
    // The file is read as time passes, whenever it is asked; the devices behind it set the pace.
    int blockSpacingMs() const override { return wrapped_.blockSpacingMs(); }

private:
    AudioInput& wrapped_;
    QString wavPath_;
    std::function<qint64()> elapsedMs_;
};

} // namespace kestrova
