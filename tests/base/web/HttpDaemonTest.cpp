#include "base/web/HttpDaemon.h"

#include "RawHttpClient.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <list>

namespace kestrova {
namespace {

using test::RawClient;

constexpr HttpLimits kSmallLimits{.connections = 16,
                                  .perAddress = 4,
                                  .perNetwork = 5,
                                  .headerSeconds = 1,
                                  .idleSeconds = 4,
                                  .connectionMemory = 8 * 1024,
                                  .bodyBytes = 64,
                                  .pendingChecks = 2};

class HttpDaemonTest : public ::testing::Test {
protected:
    RawClient start() {
        daemon_ = std::make_unique<HttpDaemon>(
            library_,
            [this](const HttpRequest& request) -> HttpAnswer {
                ++handled_;
                if (request.path == QStringLiteral("/langsam")) {
                    return DeferredAnswer{[] {
                        QThread::msleep(1500);
                        return reply(200, "text/plain", "endlich");
                    }};
                }
                return reply(200, "text/plain", "ja:" + request.body);
            },
            kSmallLimits);
        EXPECT_TRUE(daemon_->start(QHostAddress::LocalHost, 0));
        return RawClient(daemon_->port());
    }

    // A connection of another client on this machine: any 127.x address but 127.0.0.1 is one.
    QTcpSocket& connectFromElsewhere(std::list<QTcpSocket>& sockets,
                                     const QString& source = QStringLiteral("127.0.0.2")) const {
        QTcpSocket& socket = sockets.emplace_back();
        socket.bind(QHostAddress(source));
        socket.connectToHost(QStringLiteral("127.0.0.1"), daemon_->port());
        EXPECT_TRUE(socket.waitForConnected(2000));
        return socket;
    }

    static int stillOpen(std::list<QTcpSocket>& sockets, int waitMs) {
        QElapsedTimer waited;
        waited.start();
        int open = 0;
        do {
            open = 0;
            for (QTcpSocket& socket : sockets) {
                socket.waitForReadyRead(10);
                socket.readAll();
                open += socket.state() == QAbstractSocket::ConnectedState ? 1 : 0;
            }
        } while (waited.elapsed() < waitMs);
        return open;
    }

    const Microhttpd library_;
    std::unique_ptr<HttpDaemon> daemon_;
    std::atomic<int> handled_{0};
};

TEST_F(HttpDaemonTest, NeitherOneAddressNorOneNetworkCrowdsOutOthersNorHoldsConnectionsForEver) {
    const RawClient client = start();
    std::list<QTcpSocket> keptAlive;
    connectFromElsewhere(keptAlive, QStringLiteral("127.0.3.1")).write("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(RawClient::readReply(keptAlive.front()).status, 200);
    std::list<QTcpSocket> sockets;
    for (int i = 0; i < 10; ++i) {
        connectFromElsewhere(sockets);
    }
    connectFromElsewhere(sockets).write("GET / HTTP/1.1\r\nX-Langsam: "); // a header that never ends
    for (int i = 0; i < 8; ++i) {
        connectFromElsewhere(sockets, i % 2 == 0 ? QStringLiteral("127.0.1.1") : QStringLiteral("127.0.1.2"));
    }
    EXPECT_EQ(stillOpen(sockets, 300), kSmallLimits.perAddress + kSmallLimits.perNetwork);
    EXPECT_EQ(client.send("GET", "/").status, 200);
    // Idle or half a header: all of them end soon; kept alive after a request, one stays longer.
    EXPECT_EQ(stillOpen(sockets, 2000), 0);
    EXPECT_EQ(stillOpen(keptAlive, 10), 1);
}

TEST_F(HttpDaemonTest, NobodyWaitsBehindACrowdOfIdleConnectionsOrHalfSentBodies) {
    const RawClient client = start();
    std::list<QTcpSocket> crowd;
    for (int i = 0; i < 40; ++i) {
        QTcpSocket& socket = connectFromElsewhere(crowd, QStringLiteral("127.0.%1.1").arg(10 + i));
        if (i < 12) {
            socket.write("POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\nab");
            socket.waitForBytesWritten(1000);
        }
    }
    std::list<QTcpSocket> visitor;
    QElapsedTimer took;
    took.start();
    connectFromElsewhere(visitor, QStringLiteral("127.0.99.1")).write("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(RawClient::readReply(visitor.front()).status, 200);
    EXPECT_LT(took.elapsed(), 500);
    EXPECT_EQ(client.send("GET", "/").status, 200);
}

TEST_F(HttpDaemonTest, RefusesARequestWhoseLengthIsAmbiguous) {
    const RawClient client = start();
    const QByteArray chunkedBody = "4\r\nkurz\r\n0\r\n\r\n";
    for (const QByteArray& framing :
         {QByteArray("Content-Length: 4\r\nContent-Length: 5\r\n\r\nkurz!"),
          "Content-Length: 4\r\nTransfer-Encoding: chunked\r\n\r\n" + chunkedBody,
          "Transfer-Encoding: chunked\r\nContent-Length: 4\r\n\r\n" + chunkedBody}) {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), client.port());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write("POST / HTTP/1.1\r\nHost: x\r\n" + framing + "GET / HTTP/1.1\r\nHost: x\r\n\r\n");
        EXPECT_EQ(RawClient::readReply(socket).status, 400) << framing.toStdString();
        EXPECT_TRUE(socket.waitForDisconnected(1000)); // nothing after it is read as a request
    }
    EXPECT_EQ(handled_, 0);
    EXPECT_EQ(client.send("POST", "/", "Content-Length: 4\r\n", "kurz").body,
              "ja:kurz"); // the same twice is one
}

TEST_F(HttpDaemonTest, OversizedRequestsAreRefusedBeforeTheyAreRead) {
    const RawClient client = start();
    EXPECT_EQ(client.send("POST", "/", "Content-Type: text/plain\r\n", "kurz").body, "ja:kurz");
    const int handledBefore = handled_;

    EXPECT_GE(client.send("GET", "/", "X-Lang: " + QByteArray(16 * 1024, 'x') + "\r\n").status, 400);
    QElapsedTimer took;
    took.start();
    QTcpSocket big;
    big.connectToHost(QStringLiteral("127.0.0.1"), client.port());
    ASSERT_TRUE(big.waitForConnected(2000));
    big.write("POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 300000000\r\n\r\n");
    EXPECT_EQ(RawClient::readReply(big).status, 413);
    EXPECT_LT(took.elapsed(), 2000);

    // A body in chunks that outgrows the limit ends the connection.
    QTcpSocket chunked;
    chunked.connectToHost(QStringLiteral("127.0.0.1"), client.port());
    ASSERT_TRUE(chunked.waitForConnected(2000));
    chunked.write("POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (int i = 0; i < 20 && chunked.state() == QAbstractSocket::ConnectedState; ++i) {
        chunked.write("10\r\n0123456789abcdef\r\n");
        chunked.waitForDisconnected(50);
    }
    EXPECT_NE(chunked.state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(handled_, handledBefore);
}

TEST_F(HttpDaemonTest, ClosesWhenAskedTo) {
    const RawClient client = start();
    for (const QByteArray& request : {QByteArray("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"),
                                      QByteArray("GET / HTTP/1.0\r\n\r\n")}) {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), client.port());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(request);
        EXPECT_TRUE(socket.waitForDisconnected(500)) << request.toStdString();
        EXPECT_TRUE(socket.readAll().startsWith("HTTP/1."));
    }
}

TEST_F(HttpDaemonTest, SlowWorkRunsBesideThePages) {
    const RawClient client = start();
    std::list<QTcpSocket> slow;
    for (int i = 0; i < 3; ++i) {
        QTcpSocket& socket = slow.emplace_back();
        socket.connectToHost(QStringLiteral("127.0.0.1"), client.port());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write("GET /langsam HTTP/1.1\r\nHost: x\r\n\r\n");
        socket.flush();
    }
    QThread::msleep(100);
    QElapsedTimer took;
    took.start();
    EXPECT_EQ(client.send("GET", "/").status, 200);
    EXPECT_LT(took.elapsed(), 500);
    // Two wait for the worker; the third is told to come again.
    std::vector<int> statuses;
    for (QTcpSocket& socket : slow) {
        statuses.push_back(RawClient::readReply(socket).status);
    }
    std::sort(statuses.begin(), statuses.end());
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 503}));
}

} // namespace
} // namespace kestrova
