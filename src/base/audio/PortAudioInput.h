#pragma once

#include "base/audio/AudioInput.h"
#include "base/audio/PortAudioSession.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace kestrova {

// The sound card inputs as PortAudio's ALSA host sees them (PulseAudio is reached
// through ALSA's "pulse" and "default" devices). The list is the one PortAudio made
// first: the device box shows it, and positions count in it. A device is opened by
// its name, and the default input by ALSA's "default" when PortAudio knows none, so
// that a sound server that started after the program (a user unit at boot) is found:
// on Debian "default" leads to the server only if it ran when ALSA read its
// configuration, which is therefore read again before each try.
class PortAudioInput final : public AudioInput {
public:
    PortAudioInput();

    std::vector<InputDeviceInfo> devices() override;
    // `position` counts only the devices that can record mono 8-bit at 11025 Hz.
    // A device that cannot be opened has ALSA's configuration read again for the
    // next try, and, now and then, PortAudio's list when it is missing from it.
    std::unique_ptr<InputStream> open(int position, int sampleRate) override;

private:
    struct Listed {
        QString name;
        // Confirmed once, kept: a hardware device that we hold open ourselves would
        // otherwise report "busy" and shift every position after it.
        bool confirmed = false;
    };
    bool canRecord(Listed& device) const;
    // The name at `position` among the devices that can record; none past their end.
    std::optional<QString> recordableName(int position);
    void listAgainWhenDue();

    PortAudioSession session_;
    std::vector<Listed> listed_;
    qint64 nextListingMs_ = 0;
    qint64 listingIntervalMs_ = 0;
};

} // namespace kestrova
