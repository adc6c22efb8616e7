#include "platform/SoftwareVolume.h"

#include "platform/OutputGain.h"

namespace kestrova {

void SoftwareVolume::setVolume(int /*deviceNumber*/, std::uint32_t volume) {
    gain_.setFromVolume(volume);
}

} // namespace kestrova
