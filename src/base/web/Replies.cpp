#include "base/web/Replies.h"

#include <QJsonObject>

namespace kestrova {

HeaderPairs commonHeaders() {
    return {{"X-Content-Type-Options", "nosniff"},
            {"X-Frame-Options", "DENY"},
            {"Referrer-Policy", "no-referrer"},
            {"Content-Security-Policy", "default-src 'self'"}};
}

Reply reply(int status, const QByteArray& type, const QByteArray& body, const HeaderPairs& extra) {
    HeaderPairs headers = commonHeaders();
    headers.emplaceBack("Cache-Control", "no-store");
    headers.append(extra);
    return {status, type, body, headers};
}

Reply jsonReply(const QJsonDocument& document, int status, const HeaderPairs& extra) {
    return reply(status, "application/json", document.toJson(QJsonDocument::Compact), extra);
}

Reply errorReply(int status, const QString& message, const HeaderPairs& extra) {
    return jsonReply(QJsonDocument(QJsonObject{{QStringLiteral("fehler"), message}}), status, extra);
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
