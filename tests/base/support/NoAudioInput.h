#pragma once

#include "base/audio/AudioInput.h"

namespace kestrova {

// A machine without a sound card: no input device is listed and none opens.
class NoAudioInput final : public AudioInput {
public:
    std::vector<InputDeviceInfo> devices() override { return {}; }
    std::unique_ptr<InputStream> open(int /*position*/, int /*sampleRate*/) override { return nullptr; }
};

} // namespace kestrova
