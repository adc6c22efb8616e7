#include "base/platform/Platform.h"

#include "base/audio/AudioInput.h"

namespace kestrova {

int Platform::wakeSpacingMs() const {
    const int block = audioInput.blockSpacingMs();
    return block <= kWakeMs ? kWakeMs : 2 * block;
}

} // namespace kestrova
