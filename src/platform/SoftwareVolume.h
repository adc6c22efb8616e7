#pragma once

#include "platform/OutputVolume.h"

namespace kestrova {

class OutputGain;

// Volume control of the program's own playback, not the system mixer: the level is
// applied to the samples before they reach the sound card.
class SoftwareVolume : public OutputVolume {
public:
    explicit SoftwareVolume(OutputGain& gain) : gain_(gain) {}
    // The device number is ignored: both players share one output gain.
    void setVolume(int deviceNumber, std::uint32_t volume) override;

private:
    OutputGain& gain_;
};

} // namespace kestrova
