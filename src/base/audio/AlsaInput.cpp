#include "base/audio/AlsaInput.h"

#include "base/audio/AlsaConfiguration.h"
#include "base/audio/AlsaInputStream.h"
#include "base/audio/QuietStderr.h"

namespace kestrova {

const std::vector<AlsaCaptureDevice>& AlsaInput::listed() {
    if (!listed_) {
        // What the hooks print about a sound server that is not there is no news.
        const QuietStderr quiet;
        listed_ = alsaCaptureDevices();
    }
    return *listed_;
}

std::vector<InputDeviceInfo> AlsaInput::devices() {
    std::vector<InputDeviceInfo> list;
    for (const AlsaCaptureDevice& device : listed()) {
        // ALSA's plug layers convert: what can record can record 8-bit mono at 11025 Hz.
        list.push_back({device.name, true});
    }
    return list;
}

int AlsaInput::blockSpacingMs() const {
    return AlsaInputStream::kPeriodMs;
}

std::unique_ptr<InputStream> AlsaInput::open(int position, int sampleRate) {
    const std::vector<AlsaCaptureDevice>& devices = listed();
    if (position < -1 || position >= static_cast<int>(devices.size())) {
        return nullptr;
    }
    const QByteArray name = position == -1 ? QByteArrayLiteral("default")
                                           : devices.at(static_cast<std::size_t>(position)).alsaName;
    // A device that is not there (a sound server not yet started) is tried every
    // second; what ALSA prints about it each time is no news.
    const QuietStderr quiet;
    std::unique_ptr<InputStream> stream = AlsaInputStream::open(name, sampleRate);
    if (!stream) {
        forgetAlsaConfiguration();
    }
    return stream;
}

} // namespace kestrova
