#pragma once

#include "platform/NoDevices.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/SystemClock.h"

namespace kestrova {

// The adapters of this machine, owned together for main().
class RealPlatform {
public:
    explicit RealPlatform(const QString& programTitle);
    Platform platform();

private:
    SystemClock clock_;
    QtDialogs dialogs_;
    NoAudioInput audioInput_;
    NoCommandDevice capture_;
    NoCommandDevice player_;
    NoSoundPlayer sounds_;
    NoAudioOutput audioOutput_;
    NoSerialLines serial_;
};

} // namespace kestrova
