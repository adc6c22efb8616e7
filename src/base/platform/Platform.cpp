#include "base/platform/Platform.h"

#include "base/audio/AudioInput.h"

#include <algorithm>

namespace kestrova {

int Platform::wakeSpacingMs() const {
    return std::max(kWakeMs, 2 * audioInput.blockSpacingMs());
}

} // namespace kestrova
