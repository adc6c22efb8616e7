#include "app/RealPlatform.h"

namespace kestrova {

namespace {
std::unique_ptr<FileFedInput> fileFed(AudioInput& wrapped, const QString& inputFile) {
    if (inputFile.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<FileFedInput>(wrapped, inputFile);
}

AudioInput& chosenInput(PortAudioInput& portAudio, const std::unique_ptr<FileFedInput>& fileFedInput) {
    if (fileFedInput) {
        return *fileFedInput;
    }
    return portAudio;
}
} // namespace

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

RealPlatform::RealPlatform(const QString& programTitle, const QString& programFolder,
                           const QString& inputFile)
    : dialogs_(programTitle), fileFedInput_(fileFed(portAudioInput_, inputFile)),
      audioInput_(chosenInput(portAudioInput_, fileFedInput_)), inputHub_(audioInput_),
      capture_(
          inputHub_, [this] { return inputHub_.position(); }, programFolder),
      playerSink_(gain_), soundSink_(gain_), player_(playerSink_), sounds_(soundSink_),
      audioOutput_(audioInput_, gain_, playerSink_, soundSink_) {}

Platform RealPlatform::platform() {
    return {clock_, dialogs_, audioInput_, inputHub_, capture_, player_, sounds_, audioOutput_, serial_};
}

} // namespace kestrova
