#include "base/audio/SoundCardOutput.h"

namespace kestrova {

SoundCardOutput::SoundCardOutput(AudioInput& input, OutputGain& gain, PortAudioSink& player,
                                 PortAudioSink& sounds)
    : input_(input), gain_(gain), player_(player), sounds_(sounds) {}

void SoundCardOutput::setVolume(int deviceNumber, std::uint32_t volume) {
    gain_.setFromVolume(volume);
    // The device number is a position in the list of usable input devices.
    int position = 0;
    for (const InputDeviceInfo& device : input_.devices()) {
        if (!device.canRecordMono8Bit11025) {
            continue;
        }
        if (position++ == deviceNumber) {
            player_.setCompanionInput(device.name);
            sounds_.setCompanionInput(device.name);
            return;
        }
    }
    player_.setCompanionInput(QString());
    sounds_.setCompanionInput(QString());
}

} // namespace kestrova
