#include "base/desktop/SystemClock.h"

#include "base/desktop/SteadyClock.h"

#include <QFileInfo>
#include <QThread>

namespace kestrova {

void readLocalZoneOnce() {
    const QString zoneFile = QStringLiteral("/etc/localtime");
    if (!qEnvironmentVariableIsSet("TZ") && QFileInfo::exists(zoneFile)) {
        qputenv("TZ", ":" + zoneFile.toLocal8Bit());
    }
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 SystemClock::msecsSinceEpoch() const {
    return QDateTime::currentMSecsSinceEpoch();
}

// The pause holds the user-interface thread on purpose: callers rely on nothing
// else running until it is over.
void SystemClock::pause(int milliseconds) {
    if (milliseconds > 0) {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
}

qint64 SystemClock::steadyMsecs() const {
    return steadyMilliseconds();
}

// systemd's time service marks the moment it first set the clock; where it does
// not run, the system says nothing either way.
std::optional<bool> SystemClock::isSynchronised() const {
    const QString service = QStringLiteral("/run/systemd/timesync");
    if (!QFileInfo(service).isDir()) {
        return std::nullopt;
    }
    return QFileInfo::exists(service + QStringLiteral("/synchronized"));
}

} // namespace kestrova
