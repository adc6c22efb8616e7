#include "base/audio/WakeEvent.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kestrova {

WakeEvent::WakeEvent() : descriptor_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeEvent::~WakeEvent() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

void WakeEvent::raise() const {
    if (descriptor_ < 0) {
        return;
    }
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses, and it is readable then already.
    [[maybe_unused]] const ssize_t written = ::write(descriptor_, &one, sizeof one);
}

} // namespace kestrova
