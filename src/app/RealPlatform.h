#pragma once

#include "platform/CaptureDevice.h"
#include "platform/FileFedInput.h"
#include "platform/InputHub.h"
#include "platform/LoggedDialogs.h"
#include "platform/OutputGain.h"
#include "platform/OutputVolume.h"
#include "platform/Platform.h"
#include "platform/PlaybackDevice.h"
#include "platform/PortAudioInput.h"
#include "platform/PortAudioSink.h"
#include "platform/QtDialogs.h"
#include "platform/QtSerialLines.h"
#include "platform/SimpleSoundPlayer.h"
#include "platform/SystemClock.h"

#include <memory>

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

// The adapters of this machine, owned together for main().
class RealPlatform {
public:
    // `inputFile`: a WAV file offered as the first input device (empty: none).
    // `headless`: events go to standard error, and messages with them instead of
    // into boxes that nobody would answer.
    RealPlatform(const QString& programTitle, const QString& programFolder, const QString& inputFile,
                 bool headless = false);
    Platform platform();
    EventLog& events() { return *events_; }
    // Closes the dialogs still open when the program ends (see QtDialogs::dismissAll).
    void dismissDialogs() { dialogs_.dismissAll(); }

private:
    SystemClock clock_;
    std::unique_ptr<EventLog> events_;
    QtDialogs dialogs_;
    LoggedDialogs loggedDialogs_;
    Dialogs& shownDialogs_;
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
