#include "mqtt/TestBroker.h"

#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <mosquitto.h>

namespace kestrova::test {

namespace {

int freePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

bool listens(int port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    return socket.waitForConnected(200);
}

} // namespace

TestBroker::TestBroker() : port_(freePort()) {
    QFile config(dir_.filePath(QStringLiteral("mosquitto.conf")));
    if (config.open(QIODevice::WriteOnly)) {
        config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence "
                                    "false\nlog_type error\nlog_type warning\n")
                         .arg(port_)
                         .toUtf8());
    }
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
}

TestBroker::~TestBroker() {
    kill();
}

QString TestBroker::program() {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
    return found.isEmpty() ? QStandardPaths::findExecutable(
                                 QStringLiteral("mosquitto"),
                                 {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")})
                           : found;
}

bool TestBroker::start() {
    process_.start(program(), {QStringLiteral("-c"), dir_.filePath(QStringLiteral("mosquitto.conf"))});
    if (!process_.waitForStarted(5000)) {
        return false;
    }
    return QTest::qWaitFor([this] { return listens(port_); }, 5000);
}

void TestBroker::kill() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

TestSubscriber::TestSubscriber(int port) {
    handle_ = mosquitto_new(nullptr, true, this);
    mosquitto_message_callback_set(handle_, &TestSubscriber::onMessage);
    mosquitto_subscribe_callback_set(handle_, [](mosquitto* /*handle*/, void* self, int, int, const int*) {
        static_cast<TestSubscriber*>(self)->subscribed_ = true;
    });
    if (mosquitto_connect(handle_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS ||
        mosquitto_subscribe(handle_, nullptr, "#", 1) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(handle_) != MOSQ_ERR_SUCCESS) {
        return;
    }
    // The broker has the subscription before anybody publishes.
    ready_ = QTest::qWaitFor([this] { return subscribed_.load(); }, 5000);
}

TestSubscriber::~TestSubscriber() {
    mosquitto_disconnect(handle_);
    mosquitto_loop_stop(handle_, false);
    mosquitto_destroy(handle_);
}

void TestSubscriber::onMessage(mosquitto* /*handle*/, void* self, const mosquitto_message* received) {
    auto* subscriber = static_cast<TestSubscriber*>(self);
    const std::lock_guard lock(subscriber->mutex_);
    subscriber->messages_.append(
        {QString::fromUtf8(received->topic),
         QByteArray(static_cast<const char*>(received->payload), received->payloadlen), received->retain});
}

QList<ReceivedMessage> TestSubscriber::on(const QString& topic) const {
    const std::lock_guard lock(mutex_);
    QList<ReceivedMessage> found;
    for (const ReceivedMessage& message : messages_) {
        if (message.topic == topic) {
            found << message;
        }
    }
    return found;
}

bool TestSubscriber::waitFor(const QString& topic, qsizetype count, int milliseconds) const {
    return QTest::qWaitFor([&] { return on(topic).size() >= count; }, milliseconds);
}

} // namespace kestrova::test
