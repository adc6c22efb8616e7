#include "base/desktop/SystemClock.h"

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

} // namespace kestrova
