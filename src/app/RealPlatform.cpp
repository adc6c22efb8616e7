#include "app/RealPlatform.h"

#include "platform/StderrEventLog.h"

namespace kestrova {

namespace {
std::unique_ptr<FileFedInput> fileFed(AudioInput& wrapped, const QString& inputFile) {
    if (inputFile.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<FileFedInput>(wrapped, inputFile);
}

std::unique_ptr<EventLog> eventLog(bool headless) {
    if (!headless) {
        return std::make_unique<SilentEventLog>();
    }
    return std::make_unique<StderrEventLog>(standardErrorIsJournal() ? EventLineStyle::Journal
                                                                     : EventLineStyle::Terminal);
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
                           const QString& inputFile, bool headless)
    : events_(eventLog(headless)), dialogs_(programTitle), loggedDialogs_(*events_),
      shownDialogs_(headless ? static_cast<Dialogs&>(loggedDialogs_) : dialogs_),
      fileFedInput_(fileFed(portAudioInput_, inputFile)),
      audioInput_(chosenInput(portAudioInput_, fileFedInput_)), inputHub_(audioInput_),
      capture_(
          inputHub_, [this] { return inputHub_.position(); }, programFolder),
      playerSink_(gain_), soundSink_(gain_), player_(playerSink_), sounds_(soundSink_),
      audioOutput_(audioInput_, gain_, playerSink_, soundSink_) {}

Platform RealPlatform::platform() {
    return {clock_,  shownDialogs_, audioInput_,  inputHub_, capture_,
            player_, sounds_,       audioOutput_, serial_,   *events_};
}

} // namespace kestrova
