#include "base/files/OpenFileLimit.h"

#include <QtGlobal>
#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace kestrova {

namespace {
// The recorder's own files: sound devices, the capture, the list pass, the manifests.
constexpr std::size_t kReservedDescriptors = 256;
constexpr std::size_t kFewestConnections = 16;
constexpr std::size_t kMostConnections = 256;

#ifdef Q_OS_UNIX
std::size_t countOf(rlim_t limit) {
    return limit == RLIM_INFINITY || limit > std::numeric_limits<std::size_t>::max()
               ? std::numeric_limits<std::size_t>::max()
               : static_cast<std::size_t>(limit);
}
#endif
} // namespace

std::size_t raiseOpenFileLimit() {
#ifdef Q_OS_UNIX
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != limit.rlim_max) {
        struct rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        // A system that refuses the hard limit itself keeps the soft limit it had.
        ::setrlimit(RLIMIT_NOFILE, &raised);
    }
#endif
    return openFileLimit();
}

std::size_t openFileLimit() {
#ifdef Q_OS_UNIX
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        return countOf(limit.rlim_cur);
    }
#endif
    return std::numeric_limits<std::size_t>::max();
}

std::size_t webConnectionBudget(std::size_t softLimit) {
    const std::size_t left = softLimit > kReservedDescriptors ? softLimit - kReservedDescriptors : 0;
    return std::clamp(left, kFewestConnections, kMostConnections);
}

} // namespace kestrova
