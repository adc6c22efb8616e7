#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace kestrova {

// Passes the input level on at most once per gap, and only when it changed; the
// last value of a busy stretch goes out when the gap has passed.
class LevelThrottle : public QObject {
    Q_OBJECT
public:
    LevelThrottle(std::function<void(int level)> send, std::chrono::milliseconds gap);

    void take(int level);
    // The next level goes out even when it is the one sent last (after a reconnect).
    void forget() { sent_ = -1; }

private:
    void sendPending();

    std::function<void(int)> send_;
    std::chrono::milliseconds gap_;
    QElapsedTimer sinceSent_;
    QTimer later_;
    int sent_ = -1;
    int pending_ = -1;
};

} // namespace kestrova
