#include "base/platform/Platform.h"

#include "base/audio/AudioInput.h"

#include <algorithm>

namespace kestrova {

int Platform::wakeSpacingMs() const {
    return std::max(kWakeMs, audioInput.blockSpacingMs());
}

} // namespace kestrova
