#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace kestrova::test {

struct RawReply {
    int status = 0;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

// A client that sends the request line exactly as written, so the server sees
// paths no browser library would send unchanged.
class RawClient {
public:
    explicit RawClient(quint16 port) : port_(port) {}

    RawReply send(const QByteArray& method, const QByteArray& target, const QByteArray& headers = {},
                  const QByteArray& body = {}) const {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), port_);
        EXPECT_TRUE(socket.waitForConnected(5000));
        const QByteArray host = headers.contains("Host:") ? QByteArray() : "Host: 127.0.0.1:8080\r\n";
        QByteArray request = method + ' ' + target + " HTTP/1.1\r\n" + host + headers;
        if (!body.isEmpty()) {
            if (!headers.contains("Content-Type:")) {
                request += "Content-Type: application/json\r\n";
            }
            request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        }
        socket.write(request + "\r\n" + body);
        return readReply(socket);
    }

    quint16 port() const { return port_; }

    static RawReply readReply(QTcpSocket& socket) {
        QByteArray data;
        RawReply reply;
        qsizetype headerEnd = -1;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000) {
            if (headerEnd < 0 && (headerEnd = data.indexOf("\r\n\r\n")) >= 0) {
                const QList<QByteArray> lines = data.left(headerEnd).split('\n');
                reply.status = lines.first().split(' ').value(1).toInt();
                for (const QByteArray& line : lines.mid(1)) {
                    const qsizetype colon = line.indexOf(':');
                    reply.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
                }
            }
            if (headerEnd >= 0 &&
                data.size() - headerEnd - 4 >= reply.headers.value("content-length", "0").toLongLong()) {
                reply.body = data.mid(headerEnd + 4);
                return reply;
            }
            socket.waitForReadyRead(100);
            data += socket.readAll();
        }
        ADD_FAILURE() << "no whole reply: " << data.left(300).toStdString();
        return reply;
    }

private:
    quint16 port_;
};

} // namespace kestrova::test
