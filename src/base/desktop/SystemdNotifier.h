#pragma once

#include "base/desktop/ServiceManager.h"

#include <QProcessEnvironment>

namespace kestrova {

// systemd's notify protocol by hand: a datagram to the socket $NOTIFY_SOCKET names
// (an abstract one when it starts with '@'); the watchdog's timeout from
// $WATCHDOG_USEC, when $WATCHDOG_PID is unset or names `pid`. Without the socket
// every notice is dropped.
class SystemdNotifier final : public ServiceManager {
public:
    SystemdNotifier(const QProcessEnvironment& environment, qint64 pid);
    ~SystemdNotifier() override;
    SystemdNotifier(const SystemdNotifier&) = delete;
    SystemdNotifier& operator=(const SystemdNotifier&) = delete;

    void notify(const QByteArray& lines) override;
    std::chrono::microseconds watchdogTimeout() const override { return watchdogTimeout_; }

private:
    QByteArray socketName_;
    int socket_ = -1;
    std::chrono::microseconds watchdogTimeout_{0};
};

} // namespace kestrova
