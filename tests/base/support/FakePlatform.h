#pragma once

#include "base/audio/InputHub.h"
#include "base/platform/Platform.h"
#include "support/FakeCaptureDevice.h"
#include "support/FakeClock.h"
#include "support/FakeDevices.h"
#include "support/FakeDialogs.h"
#include "support/FakeDiskSpace.h"
#include "support/FakeEventLog.h"
#include "support/FakePlaybackDevice.h"
#include "support/FakeServiceManager.h"

namespace kestrova::test {

struct FakePlatform {
    FakeClock clock;
    FakeDialogs dialogs;
    FakeAudioInput audioInput;
    // The input's own millisecond clock: it stands still unless a test moves it,
    // so a fake device that is fed nothing never counts as lost.
    qint64 inputMs = 0;
    InputHub inputHub{audioInput, [this] { return inputMs; }};
    FakeCaptureDevice capture;
    FakePlaybackDevice player;
    FakeSoundPlayer sounds;
    FakeOutputVolume audioOutput;
    FakeSerialLines serial;
    FakeEventLog events;
    FakeServiceManager serviceManager;
    FakeDiskSpace diskSpace;

    // Real players (over a fake card) in place of the fakes, when set.
    PlaybackDevice* realPlayer = nullptr;
    SoundPlayer* realSounds = nullptr;

    Platform platform() {
        PlaybackDevice& playerDevice = realPlayer != nullptr ? *realPlayer : player;
        SoundPlayer& soundPlayer = realSounds != nullptr ? *realSounds : sounds;
        return {clock,       dialogs,     audioInput, inputHub, capture,        playerDevice,
                soundPlayer, audioOutput, serial,     events,   serviceManager, diskSpace};
    }
};

} // namespace kestrova::test
