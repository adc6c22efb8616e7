#pragma once

#include "base/audio/InputHub.h"
#include "base/platform/Platform.h"
#include "support/FakeClock.h"
#include "support/FakeDevices.h"
#include "support/FakeDialogs.h"
#include "support/FakeEventLog.h"

namespace kestrova::test {

struct FakePlatform {
    FakeClock clock;
    FakeDialogs dialogs;
    FakeAudioInput audioInput;
    // The input's own millisecond clock: it stands still unless a test moves it,
    // so a fake device that is fed nothing never counts as lost.
    qint64 inputMs = 0;
    InputHub inputHub{audioInput, [this] { return inputMs; }};
    FakeCommandDevice capture;
    FakeCommandDevice player;
    FakeSoundPlayer sounds;
    FakeOutputVolume audioOutput;
    FakeSerialLines serial;
    FakeEventLog events;

    // Real players (over a fake card) in place of the fakes, when set.
    CommandDevice* realPlayer = nullptr;
    SoundPlayer* realSounds = nullptr;

    Platform platform() {
        CommandDevice& playerDevice = realPlayer != nullptr ? *realPlayer : player;
        SoundPlayer& soundPlayer = realSounds != nullptr ? *realSounds : sounds;
        return {clock,        dialogs,     audioInput,  inputHub, capture,
                playerDevice, soundPlayer, audioOutput, serial,   events};
    }
};

} // namespace kestrova::test
