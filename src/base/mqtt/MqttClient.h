#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

struct mosquitto;
struct mosquitto_message;
class QThread;

namespace kestrova {

struct MqttConnection {
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile; // empty: the system's CAs
    QString user;
    QString password;
    // Published by the broker when the connection breaks without a goodbye.
    QString willTopic;
    QByteArray willPayload;
    // Down this long, the connection's thread is started anew (see MqttClient).
    std::chrono::milliseconds restartAfter{150000};
    // Subscribed at each connection, with QoS 1 (a control room follows circuits' status).
    QStringList subscriptions{};
};

// One connection to a broker through libmosquitto, which runs it on a thread of its
// own and connects again after each loss, waiting 1 s, then twice as long each time
// up to a minute. Nothing here blocks the caller's thread: even the first lookup of
// the broker's name runs on a starter thread. The signals come from libmosquitto's
// thread; a receiver on another thread gets them queued. libmosquitto's thread gives
// up for good on some errors (a failed name lookup while the network is down, a TLS
// or protocol error): a connection that stays down longer than its retries would
// take gets a thread started anew, so an outage never ends the feed for good.
class MqttClient : public QObject {
    Q_OBJECT
public:
    explicit MqttClient(MqttConnection connection);
    ~MqttClient() override;
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Empty, or the German reason why libmosquitto refuses the connection's settings.
    QString start();
    // The message's id, or -1 when libmosquitto did not take it (no connection).
    // Safe while libmosquitto's thread runs.
    int publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Says goodbye to the broker after what was published and ends the thread:
    // waits up to two seconds for the goodbye, no longer.
    void stop();

signals:
    void connected();
    // The broker answered, but refused us (a wrong password, say).
    void refused(const QString& reason);
    void lost(const QString& reason);
    // The broker has the message of this id (QoS 1: its PUBACK).
    void acknowledged(int mid);
    // A message on one of the subscribed topics.
    void messageArrived(const QString& topic, const QByteArray& payload);

private:
    static void onConnect(mosquitto* handle, void* self, int code);
    static void onDisconnect(mosquitto* handle, void* self, int code);
    static void onPublish(mosquitto* handle, void* self, int mid);
    static void onMessage(mosquitto* handle, void* self, const mosquitto_message* message);
    QString configure();
    // On a starter thread: ends libmosquitto's thread, if it still runs, and starts it
    // connecting again.
    void startLoop(bool again);
    void checkConnection();
    void noteConnected(bool up);
    bool waitForGoodbye();

    MqttConnection connection_;
    mosquitto* handle_ = nullptr;
    std::unique_ptr<QThread> starter_;
    bool loopRunning_ = false;
    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    bool up_ = false; // guarded by stateMutex_
    // On the caller's thread: how long the connection has been down, if it is.
    QElapsedTimer downSince_;
    QTimer watchdog_;
};

} // namespace kestrova
