#pragma once

#include "base/audio/AlsaCaptureDevices.h"
#include "base/audio/AudioInput.h"

#include <optional>
#include <vector>

namespace kestrova {

// The sound card inputs of a program without windows, straight from ALSA: the service
// opens only the device its settings name (or "default") and never probes the others,
// so no plugin it does not record from is loaded. The list is the one made first,
// without opening a device, and positions count in it; "default" is position 0. A
// device that cannot be opened has ALSA's configuration read again for the next try:
// a sound server that started after the program is found behind "default".
class AlsaInput final : public AudioInput {
public:
    std::vector<InputDeviceInfo> devices() override;
    std::unique_ptr<InputStream> open(int position, int sampleRate) override;
    int blockSpacingMs() const override;

private:
    const std::vector<AlsaCaptureDevice>& listed();

    std::optional<std::vector<AlsaCaptureDevice>> listed_;
};

} // namespace kestrova
