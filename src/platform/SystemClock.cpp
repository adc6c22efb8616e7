#include "platform/SystemClock.h"

#include <QThread>

namespace kestrova {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

// The pause holds the user-interface thread on purpose: callers rely on nothing
// else running until it is over.
void SystemClock::pause(int milliseconds) {
    if (milliseconds > 0) {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
}

} // namespace kestrova
