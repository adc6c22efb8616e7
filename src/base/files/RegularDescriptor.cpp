#include "base/files/RegularDescriptor.h"

#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

RegularDescriptor::~RegularDescriptor() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

RegularDescriptor::RegularDescriptor(RegularDescriptor&& other) noexcept
    : descriptor_(other.release()), trouble_(other.trouble_) {}

std::int64_t RegularDescriptor::size() const {
    struct stat status {};
    if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(status.st_size);
}

int RegularDescriptor::release() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
}

bool RegularDescriptor::close() {
    return ::close(release()) == 0;
}

} // namespace kestrova
