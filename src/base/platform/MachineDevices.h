#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/FileFedInput.h"
#include "base/audio/InputHub.h"
#include "base/audio/OutputGain.h"
#include "base/audio/PortAudioSink.h"
#include "base/audio/SimpleSoundPlayer.h"
#include "base/audio/SoundCardOutput.h"
#include "base/audio/StreamingPlayback.h"
#include "base/audio/WorkingFileCapture.h"
#include "base/desktop/EventLog.h"
#include "base/desktop/LoggedDialogs.h"
#include "base/desktop/SystemClock.h"
#include "base/desktop/SystemdNotifier.h"
#include "base/files/StorageDiskSpace.h"
#include "base/platform/Platform.h"
#include "base/serial/QtSerialLines.h"

#include <memory>

namespace kestrova {

// The adapters of this machine that need no window, owned together: the clock,
// the event log, the sound card's input and output, the serial port, systemd and the disks' room.
class MachineDevices {
public:
    // How the sound card's inputs are found: PortAudio's list, which opens every device
    // to tell what it can do (the windows' device box), or ALSA's names, opening only
    // the device chosen (a service, whose memory the other devices' plugins would fill).
    enum class InputListing { PortAudio, AlsaNames };
    // `inputFile`: a WAV file offered as the first input device (empty: none).
    // `logToStandardError`: events go to standard error (a program without a
    // desktop); otherwise the log is silent.
    MachineDevices(const QString& programFolder, const QString& inputFile, bool logToStandardError,
                   InputListing listing);
    // With `dialogs` as the platform's dialogs.
    Platform platform(Dialogs& dialogs);
    // With messages written to the event log, as nobody is there to answer them.
    Platform platform() { return platform(loggedDialogs_); }
    EventLog& events() { return *events_; }

private:
    SystemClock clock_;
    std::unique_ptr<EventLog> events_;
    LoggedDialogs loggedDialogs_;
    std::unique_ptr<AudioInput> soundCardInput_;
    std::unique_ptr<FileFedInput> fileFedInput_;
    AudioInput& audioInput_;
    InputHub inputHub_;
    WorkingFileCapture capture_;
    OutputGain gain_;
    PortAudioSink playerSink_;
    PortAudioSink soundSink_;
    StreamingPlayback player_;
    SimpleSoundPlayer sounds_;
    SoundCardOutput audioOutput_;
    QtSerialLines serial_;
    SystemdNotifier serviceManager_;
    StorageDiskSpace diskSpace_;
};

} // namespace kestrova
