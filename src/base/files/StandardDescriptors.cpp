#include "base/files/StandardDescriptors.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kestrova {

void openClosedStandardDescriptors() {
#ifdef Q_OS_UNIX
    for (const int standard : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(standard, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lower ones are open by now, so the lowest free number is this one.
        const int opened = ::open("/dev/null", standard == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != standard) {
            ::dup2(opened, standard);
            ::close(opened);
        }
    }
#endif
}

} // namespace kestrova
