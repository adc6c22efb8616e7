#pragma once

#include "platform/CaptureDevice.h"
#include "platform/EventLog.h"
#include "platform/FileFedInput.h"
#include "platform/InputHub.h"
#include "platform/LoggedDialogs.h"
#include "platform/OutputGain.h"
#include "platform/Platform.h"
#include "platform/PlaybackDevice.h"
#include "platform/PortAudioInput.h"
#include "platform/PortAudioSink.h"
#include "platform/QtSerialLines.h"
#include "platform/SimpleSoundPlayer.h"
#include "platform/SoundCardOutput.h"
#include "platform/SystemClock.h"

#include <memory>

namespace kestrova {

// The adapters of this machine that need no window, owned together: the clock,
// the event log, the sound card's input and output, the serial port.
class MachineDevices {
public:
    // `inputFile`: a WAV file offered as the first input device (empty: none).
    // `logToStandardError`: events go to standard error (a program without a
    // desktop); otherwise the log is silent.
    MachineDevices(const QString& programFolder, const QString& inputFile, bool logToStandardError);
    // With `dialogs` as the platform's dialogs.
    Platform platform(Dialogs& dialogs);
    // With messages written to the event log, as nobody is there to answer them.
    Platform platform() { return platform(loggedDialogs_); }
    EventLog& events() { return *events_; }

private:
    SystemClock clock_;
    std::unique_ptr<EventLog> events_;
    LoggedDialogs loggedDialogs_;
    PortAudioInput portAudioInput_;
    std::unique_ptr<FileFedInput> fileFedInput_;
    AudioInput& audioInput_;
    InputHub inputHub_;
    CaptureDevice capture_;
    OutputGain gain_;
    PortAudioSink playerSink_;
    PortAudioSink soundSink_;
    PlaybackDevice player_;
    SimpleSoundPlayer sounds_;
    SoundCardOutput audioOutput_;
    QtSerialLines serial_;
};

} // namespace kestrova
