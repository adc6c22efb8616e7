#include "base/desktop/ProcessGroup.h"

#include <QProcess>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace kestrova {

void startsOwnProcessGroup(QProcess& process) {
#ifdef Q_OS_UNIX
    // Runs in the child between fork and exec: only calls that are safe there.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
#else
    Q_UNUSED(process);
#endif
}

void signalProcessGroup(qint64 leader, GroupSignal signal) {
    if (leader <= 0) {
        return;
    }
#ifdef Q_OS_UNIX
    ::kill(-static_cast<pid_t>(leader), signal == GroupSignal::Kill ? SIGKILL : SIGTERM);
#else
    Q_UNUSED(signal);
#endif
}

} // namespace kestrova
