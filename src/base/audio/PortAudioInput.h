#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/PortAudioSession.h"

#include <vector>

namespace kestrova {

// The sound card inputs as PortAudio's ALSA host sees them (PulseAudio is reached
// through ALSA's "pulse" and "default" devices).
class PortAudioInput final : public AudioInput {
public:
    PortAudioInput();

    std::vector<InputDeviceInfo> devices() override;
    // `position` counts only the devices that can record mono 8-bit at 11025 Hz.
    std::unique_ptr<InputStream> open(int position, int sampleRate) override;

private:
    bool canRecord(int device);
    std::vector<int> recordableDevices();

    PortAudioSession session_;
    // Confirmed once, kept: a hardware device that we hold open ourselves would
    // otherwise report "busy" and shift every position after it.
    std::vector<bool> confirmed_;
};

} // namespace kestrova
