#include "base/desktop/SystemdNotifier.h"

#include <cstddef>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace kestrova {

namespace {
std::chrono::microseconds watchdogTimeoutFor(const QProcessEnvironment& environment, qint64 pid) {
    // A child of the watched process inherits the variables; only the one named pings.
    const QString watchedPid = environment.value(QStringLiteral("WATCHDOG_PID"));
    if (!watchedPid.isEmpty() && watchedPid != QString::number(pid)) {
        return std::chrono::microseconds(0);
    }
    bool isNumber = false;
    const qulonglong microseconds = environment.value(QStringLiteral("WATCHDOG_USEC")).toULongLong(&isNumber);
    return std::chrono::microseconds(isNumber ? static_cast<std::chrono::microseconds::rep>(microseconds)
                                              : 0);
}
} // namespace

SystemdNotifier::SystemdNotifier(const QProcessEnvironment& environment, qint64 pid)
    : socketName_(environment.value(QStringLiteral("NOTIFY_SOCKET")).toLocal8Bit()) {
#ifdef Q_OS_LINUX
    if (!socketName_.isEmpty()) {
        socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    }
#endif
    if (socket_ >= 0) {
        watchdogTimeout_ = watchdogTimeoutFor(environment, pid);
    }
}

SystemdNotifier::~SystemdNotifier() {
#ifdef Q_OS_LINUX
    if (socket_ >= 0) {
        ::close(socket_);
    }
#endif
}

void SystemdNotifier::notify(const QByteArray& lines) {
#ifdef Q_OS_LINUX
    sockaddr_un address{};
    const auto nameLength = static_cast<std::size_t>(socketName_.size());
    if (socket_ < 0 || nameLength >= sizeof address.sun_path) {
        return;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketName_.constData(), nameLength);
    // An abstract name is as long as it is: no terminating zero belongs to it.
    if (address.sun_path[0] == '@') {
        address.sun_path[0] = '\0';
    }
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + nameLength +
                                               (address.sun_path[0] == '\0' ? 0 : 1));
    // Sent each time to the name, so a manager that made its socket again is found; never
    // waits, as a manager too busy to take a notice had better lose it than hold the recorder.
    ::sendto(socket_, lines.constData(), static_cast<std::size_t>(lines.size()), MSG_DONTWAIT | MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr*>(&address), length);
#else
    Q_UNUSED(lines);
#endif
}

} // namespace kestrova
