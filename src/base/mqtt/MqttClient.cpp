#include "base/mqtt/MqttClient.h"

#include "base/common/TimerWait.h"

#include <QThread>
#include <algorithm>
#include <chrono>
#include <mosquitto.h>
#include <utility>

namespace kestrova {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr unsigned kFirstRetrySeconds = 1;
constexpr unsigned kLastRetrySeconds = 60;
constexpr std::chrono::seconds kGoodbyeWait{2};

// libmosquitto's own start, once a process; its end when the process ends.
class LibraryUse {
public:
    LibraryUse() { mosquitto_lib_init(); }
    ~LibraryUse() { mosquitto_lib_cleanup(); }
    LibraryUse(const LibraryUse&) = delete;
    LibraryUse& operator=(const LibraryUse&) = delete;
};

void useLibrary() {
    static const LibraryUse use;
}

QString errorText(int code) {
    return QString::fromUtf8(mosquitto_strerror(code));
}

const char* pointerOrNull(const QByteArray& bytes) {
    return bytes.isEmpty() ? nullptr : bytes.constData();
}

} // namespace

MqttClient::MqttClient(MqttConnection connection) : connection_(std::move(connection)) {
    useLibrary();
    handle_ = mosquitto_new(nullptr, true, this);
    // Queued from libmosquitto's thread to this object's.
    connect(this, &MqttClient::connected, this, [this] { downSince_.invalidate(); });
    const auto down = [this] {
        if (!downSince_.isValid()) {
            downSince_.start();
        }
    };
    connect(this, &MqttClient::lost, this, down);
    connect(this, &MqttClient::refused, this, down);
    connect(&watchdog_, &QTimer::timeout, this, &MqttClient::checkConnection);
}

MqttClient::~MqttClient() {
    stop();
    mosquitto_destroy(handle_);
}

QString MqttClient::configure() {
    if (handle_ == nullptr) {
        return QStringLiteral("libmosquitto lässt sich nicht starten.");
    }
    mosquitto_connect_callback_set(handle_, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(handle_, &MqttClient::onDisconnect);
    mosquitto_publish_callback_set(handle_, &MqttClient::onPublish);
    mosquitto_reconnect_delay_set(handle_, kFirstRetrySeconds, kLastRetrySeconds, true);
    mosquitto_message_callback_set(handle_, &MqttClient::onMessage);
    const QByteArray will = connection_.willTopic.toUtf8();
    // A client that only listens leaves no last will.
    int code = will.isEmpty() ? MOSQ_ERR_SUCCESS
                              : mosquitto_will_set(handle_, will.constData(),
                                                   static_cast<int>(connection_.willPayload.size()),
                                                   connection_.willPayload.constData(), 1, true);
    if (code == MOSQ_ERR_SUCCESS && !connection_.user.isEmpty()) {
        const QByteArray user = connection_.user.toUtf8();
        const QByteArray password = connection_.password.toUtf8();
        code = mosquitto_username_pw_set(handle_, user.constData(), pointerOrNull(password));
    }
    if (code == MOSQ_ERR_SUCCESS && connection_.tls) {
        if (connection_.caFile.isEmpty()) {
            code = mosquitto_int_option(handle_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        } else {
            const QByteArray caFile = connection_.caFile.toLocal8Bit();
            code = mosquitto_tls_set(handle_, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return code == MOSQ_ERR_SUCCESS ? QString() : QStringLiteral("libmosquitto: ") + errorText(code);
}

QString MqttClient::start() {
    const QString refusal = configure();
    if (!refusal.isEmpty()) {
        return refusal;
    }
    startLoop(false);
    loopRunning_ = true;
    downSince_.start();
    startTimerAfter(watchdog_, std::max<std::chrono::milliseconds>(connection_.restartAfter / 5,
                                                                   std::chrono::milliseconds(100)));
    return {};
}

void MqttClient::startLoop(bool again) {
    // The first lookup of the broker's name may take a while: the starter does it.
    // A first attempt that fails is tried again by libmosquitto's thread.
    starter_.reset(QThread::create([this, again] {
        if (again) {
            mosquitto_loop_stop(handle_, true);
        }
        const QByteArray host = connection_.host.toUtf8();
        mosquitto_connect_async(handle_, host.constData(), connection_.port, kKeepAliveSeconds);
        mosquitto_loop_start(handle_);
    }));
    starter_->start();
}

void MqttClient::checkConnection() {
    if (!loopRunning_ || !downSince_.isValid() || downSince_.elapsed() < connection_.restartAfter.count() ||
        !starter_->isFinished()) {
        return;
    }
    downSince_.restart();
    startLoop(true);
}

int MqttClient::publish(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    int mid = -1;
    const QByteArray name = topic.toUtf8();
    const int code = mosquitto_publish(handle_, &mid, name.constData(), static_cast<int>(payload.size()),
                                       payload.constData(), qos, retain);
    return code == MOSQ_ERR_SUCCESS ? mid : -1;
}

void MqttClient::stop() {
    if (!loopRunning_) {
        return;
    }
    loopRunning_ = false;
    watchdog_.stop();
    starter_->wait();
    mosquitto_disconnect(handle_);
    // A thread still trying to reach the broker is cancelled: its connect may take minutes.
    const bool saidGoodbye = waitForGoodbye();
    mosquitto_loop_stop(handle_, !saidGoodbye);
}

bool MqttClient::waitForGoodbye() {
    std::unique_lock lock(stateMutex_);
    if (!up_) {
        return false;
    }
    return stateChanged_.wait_for(lock, kGoodbyeWait, [this] { return !up_; });
}

void MqttClient::noteConnected(bool up) {
    {
        const std::lock_guard lock(stateMutex_);
        up_ = up;
    }
    stateChanged_.notify_all();
}

void MqttClient::onConnect(mosquitto* handle, void* self, int code) {
    auto* client = static_cast<MqttClient*>(self);
    if (code == 0) {
        client->noteConnected(true);
        // Each connection subscribes anew: a broker without a session forgot them.
        for (const QString& topic : client->connection_.subscriptions) {
            mosquitto_subscribe(handle, nullptr, topic.toUtf8().constData(), 1);
        }
        emit client->connected();
    } else {
        emit client->refused(QString::fromUtf8(mosquitto_connack_string(code)));
    }
}

void MqttClient::onDisconnect(mosquitto* /*handle*/, void* self, int code) {
    auto* client = static_cast<MqttClient*>(self);
    client->noteConnected(false);
    if (code != 0) {
        emit client->lost(errorText(code));
    }
}

void MqttClient::onPublish(mosquitto* /*handle*/, void* self, int mid) {
    emit static_cast<MqttClient*>(self)->acknowledged(mid);
}

void MqttClient::onMessage(mosquitto* /*handle*/, void* self, const mosquitto_message* message) {
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    emit static_cast<MqttClient*>(self)->messageArrived(QString::fromUtf8(message->topic), payload);
}

} // namespace kestrova
