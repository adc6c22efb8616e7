#include "base/files/RegularDescriptor.h"

#include <unistd.h>

namespace kestrova {

RegularDescriptor::~RegularDescriptor() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

RegularDescriptor::RegularDescriptor(RegularDescriptor&& other) noexcept
    : descriptor_(other.release()), trouble_(other.trouble_) {}

int RegularDescriptor::release() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
}

bool RegularDescriptor::close() {
    return ::close(release()) == 0;
}

} // namespace kestrova
