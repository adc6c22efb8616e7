#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/OutputGain.h"
#include "base/audio/OutputVolume.h"
#include "base/audio/PortAudioSink.h"

namespace kestrova {

// Sets the gain of the program's own playback and sends it to the output of the
// sound card whose input is in use.
class SoundCardOutput final : public OutputVolume {
public:
    SoundCardOutput(AudioInput& input, OutputGain& gain, PortAudioSink& player, PortAudioSink& sounds);
    void setVolume(int deviceNumber, std::uint32_t volume) override;

private:
    AudioInput& input_;
    OutputGain& gain_;
    PortAudioSink& player_;
    PortAudioSink& sounds_;
};

} // namespace kestrova
