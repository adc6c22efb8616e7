#include "web/Replies.h"

#include <QJsonObject>
#include <QTcpSocket>

namespace kestrova {

using Status = QHttpServerResponder::StatusCode;

void writeCommonHeaders(QHttpServerResponder& responder, Status status, const QByteArray& type) {
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("X-Frame-Options", "DENY");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    responder.writeHeader("Content-Security-Policy", "default-src 'self'");
}

void reply(QHttpServerResponder& responder, Status status, const QByteArray& type, const QByteArray& body,
           const HeaderPairs& extra) {
    writeCommonHeaders(responder, status, type);
    responder.writeHeader("Cache-Control", "no-store");
    for (const auto& [name, value] : extra) {
        responder.writeHeader(name, value);
    }
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    QTcpSocket* socket = responder.socket();
    socket->write("\r\n");
    socket->write(body);
}

void replyJson(QHttpServerResponder& responder, const QJsonDocument& document, Status status,
               const HeaderPairs& extra) {
    reply(responder, status, "application/json", document.toJson(QJsonDocument::Compact), extra);
}

void replyError(QHttpServerResponder& responder, Status status, const QString& message) {
    replyJson(responder, QJsonDocument(QJsonObject{{QStringLiteral("fehler"), message}}), status);
}

QByteArray headerSafeName(const QString& name) {
    QByteArray safe = name.toLatin1();
    for (char& c : safe) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           c == '.' || c == '-' || c == '_';
        if (!plain) {
            c = '_';
        }
    }
    return safe;
}

} // namespace kestrova
