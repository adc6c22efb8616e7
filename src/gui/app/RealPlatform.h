#pragma once

#include "base/platform/MachineDevices.h"
#include "base/platform/Platform.h"
#include "gui/desktop/QtDialogs.h"

namespace kestrova {

// The adapters of this machine for the windowed program: the devices, with the
// dialogs shown as boxes.
class RealPlatform {
public:
    // `inputFile`: a WAV file offered as the first input device (empty: none).
    RealPlatform(const QString& programTitle, const QString& programFolder, const QString& inputFile);
    Platform platform() { return devices_.platform(dialogs_); }
    EventLog& events() { return devices_.events(); }
    // Closes the dialogs still open when the program ends (see QtDialogs::dismissAll).
    void dismissDialogs() { dialogs_.dismissAll(); }

private:
    MachineDevices devices_;
    QtDialogs dialogs_;
};

} // namespace kestrova
