#include "base/platform/MachineDevices.h"

#include "base/audio/AlsaInput.h"
#include "base/audio/PortAudioInput.h"
#include "base/desktop/StderrEventLog.h"

#include <QCoreApplication>

namespace kestrova {

namespace {
std::unique_ptr<FileFedInput> fileFed(AudioInput& wrapped, const QString& inputFile) {
    if (inputFile.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<FileFedInput>(wrapped, inputFile);
}

std::unique_ptr<EventLog> eventLog(bool logToStandardError) {
    if (!logToStandardError) {
        return std::make_unique<SilentEventLog>();
    }
    return std::make_unique<StderrEventLog>(standardErrorIsJournal() ? EventLineStyle::Journal
                                                                     : EventLineStyle::Terminal);
}

std::unique_ptr<AudioInput> soundCardInput(MachineDevices::InputListing listing) {
    if (listing == MachineDevices::InputListing::AlsaNames) {
        return std::make_unique<AlsaInput>();
    }
    return std::make_unique<PortAudioInput>();
}

AudioInput& chosenInput(AudioInput& soundCard, const std::unique_ptr<FileFedInput>& fileFedInput) {
    if (fileFedInput) {
        return *fileFedInput;
    }
    return soundCard;
}
} // namespace

MachineDevices::MachineDevices(const QString& programFolder, const QString& inputFile,
                               bool logToStandardError, InputListing listing)
    : events_(eventLog(logToStandardError)), loggedDialogs_(*events_),
      soundCardInput_(soundCardInput(listing)), fileFedInput_(fileFed(*soundCardInput_, inputFile)),
      audioInput_(chosenInput(*soundCardInput_, fileFedInput_)), inputHub_(audioInput_),
      capture_(
          inputHub_, [this] { return inputHub_.position(); }, programFolder),
      playerSink_(gain_), soundSink_(gain_), player_(playerSink_), sounds_(soundSink_),
      audioOutput_(audioInput_, gain_, playerSink_, soundSink_),
      serviceManager_(QProcessEnvironment::systemEnvironment(), QCoreApplication::applicationPid()) {}

Platform MachineDevices::platform(Dialogs& dialogs) {
    return {clock_,  dialogs,      audioInput_, inputHub_, capture_,        player_,
            sounds_, audioOutput_, serial_,     *events_,  serviceManager_, diskSpace_};
}

} // namespace kestrova
