#include "base/platform/MachineDevices.h"

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

AudioInput& chosenInput(PortAudioInput& portAudio, const std::unique_ptr<FileFedInput>& fileFedInput) {
    if (fileFedInput) {
        return *fileFedInput;
    }
    return portAudio;
}
} // namespace

MachineDevices::MachineDevices(const QString& programFolder, const QString& inputFile,
                               bool logToStandardError)
    : events_(eventLog(logToStandardError)), loggedDialogs_(*events_),
      fileFedInput_(fileFed(portAudioInput_, inputFile)),
      audioInput_(chosenInput(portAudioInput_, fileFedInput_)), inputHub_(audioInput_),
      capture_(
          inputHub_, [this] { return inputHub_.position(); }, programFolder),
      playerSink_(gain_), soundSink_(gain_), player_(playerSink_), sounds_(soundSink_),
      audioOutput_(audioInput_, gain_, playerSink_, soundSink_),
      serviceManager_(QProcessEnvironment::systemEnvironment(), QCoreApplication::applicationPid()) {}

Platform MachineDevices::platform(Dialogs& dialogs) {
    return {clock_,  dialogs,      audioInput_, inputHub_, capture_,       player_,
            sounds_, audioOutput_, serial_,     *events_,  serviceManager_};
}

} // namespace kestrova
