#include "base/mqtt/MqttClient.h"

#include "mqtt/TestBroker.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// Something on the broker's port that answers the connection with nonsense, as a
// broker half up or a wrong service would: libmosquitto's own thread gives up for
// good on that. Once the real broker is there, the client must still reach it.
TEST(MqttClientTest, ReachesTheBrokerAfterAnErrorLibmosquittoGivesUpOn) {
    if (test::TestBroker::program().isEmpty()) {
        GTEST_SKIP() << "mosquitto is not installed";
    }
    test::TestBroker broker;
    QTcpServer impostor;
    ASSERT_TRUE(impostor.listen(QHostAddress::LocalHost, static_cast<quint16>(broker.port())));
    int answered = 0;
    QObject::connect(&impostor, &QTcpServer::newConnection, [&impostor, &answered] {
        while (QTcpSocket* socket = impostor.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, &answered] {
                socket->readAll();
                socket->write(QByteArray("\xf0\x02\x00\x00", 4)); // no packet of MQTT
                ++answered;
            });
        }
    });
    MqttConnection connection;
    connection.host = QStringLiteral("127.0.0.1");
    connection.port = broker.port();
    connection.willTopic = QStringLiteral("t/status");
    connection.willPayload = "{}";
    connection.restartAfter = std::chrono::milliseconds(1500);
    MqttClient client(connection);
    bool connected = false;
    QObject::connect(&client, &MqttClient::connected, [&connected] { connected = true; });
    ASSERT_TRUE(client.start().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&answered] { return answered > 0; }, 10000));
    QTest::qWait(500);
    impostor.close();
    ASSERT_TRUE(broker.start());
    EXPECT_TRUE(QTest::qWaitFor([&connected] { return connected; }, 15000));
    client.stop();
}

} // namespace
} // namespace kestrova
