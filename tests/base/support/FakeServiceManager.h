#pragma once

#include "base/desktop/ServiceManager.h"

#include <QByteArrayList>

namespace kestrova::test {

// Keeps every notice; watches with the timeout a test sets (none at first).
class FakeServiceManager final : public ServiceManager {
public:
    void notify(const QByteArray& lines) override { notices.append(lines); }
    std::chrono::microseconds watchdogTimeout() const override { return timeout; }

    QByteArrayList notices;
    std::chrono::microseconds timeout{0};
};

} // namespace kestrova::test
