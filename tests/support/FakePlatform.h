#pragma once

#include "platform/InputHub.h"
#include "platform/Platform.h"
#include "support/FakeClock.h"
#include "support/FakeDevices.h"
#include "support/FakeDialogs.h"

namespace kestrova::test {

struct FakePlatform {
    FakeClock clock;
    FakeDialogs dialogs;
    FakeAudioInput audioInput;
    InputHub inputHub{audioInput};
    FakeCommandDevice capture;
    FakeCommandDevice player;
    FakeSoundPlayer sounds;
    FakeAudioOutput audioOutput;
    FakeSerialLines serial;

    Platform platform() {
        return {clock, dialogs, audioInput, inputHub, capture, player, sounds, audioOutput, serial};
    }
};

} // namespace kestrova::test
