#pragma once

#include <QByteArray>
#include <chrono>

namespace kestrova {

// The service manager that started the program (systemd), as far as it listens:
// told when the program is ready and what it does, and pinged while it lives.
class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // One notice of "KEY=VALUE" lines; nothing happens when no manager listens.
    virtual void notify(const QByteArray& lines) = 0;
    // How long the manager waits for a ping before it ends the program; zero when
    // it does not watch this process.
    virtual std::chrono::microseconds watchdogTimeout() const = 0;
};

} // namespace kestrova
