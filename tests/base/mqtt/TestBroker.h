#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <mutex>

struct mosquitto;
struct mosquitto_message;

namespace kestrova::test {

// A mosquitto broker of the test's own on 127.0.0.1, on a port that was free.
class TestBroker {
public:
    TestBroker();
    ~TestBroker();
    TestBroker(const TestBroker&) = delete;
    TestBroker& operator=(const TestBroker&) = delete;

    static QString program();
    // Starts it (again, on the same port) and waits until it listens.
    bool start();
    // SIGKILL: no goodbye to anybody.
    void kill();
    int port() const { return port_; }

private:
    QTemporaryDir dir_;
    int port_ = 0;
    QProcess process_;
};

struct ReceivedMessage {
    QString topic;
    QByteArray payload;
    bool retained = false;
};

// Subscribes to everything on the test's broker and keeps what arrives.
class TestSubscriber {
public:
    explicit TestSubscriber(int port);
    ~TestSubscriber();
    TestSubscriber(const TestSubscriber&) = delete;
    TestSubscriber& operator=(const TestSubscriber&) = delete;

    // The subscription is in place.
    bool isReady() const { return ready_; }
    QList<ReceivedMessage> on(const QString& topic) const;
    // Waits, running the test's event loop, until `count` messages came on the topic.
    bool waitFor(const QString& topic, qsizetype count, int milliseconds = 15000) const;

private:
    static void onMessage(mosquitto* handle, void* self, const mosquitto_message* message);

    mosquitto* handle_ = nullptr;
    bool ready_ = false;
    std::atomic<bool> subscribed_ = false;
    mutable std::mutex mutex_;
    QList<ReceivedMessage> messages_; // guarded by mutex_
};

} // namespace kestrova::test
