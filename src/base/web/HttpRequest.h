#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>

namespace kestrova {

// One request to the web page, as read off the connection: the path and the query
// already decoded, header names in lower case, and a body no bigger than the
// server lets in.
struct HttpRequest {
    QByteArray method;
    QString path;
    QHash<QString, QString> query;
    QHash<QByteArray, QByteArray> headers;
    QByteArray body;
    QHostAddress client;

    QByteArray header(const QByteArray& lowerCaseName) const { return headers.value(lowerCaseName); }
    QString queryValue(const QString& key) const { return query.value(key); }
    bool isGet() const { return method == "GET" || method == "HEAD"; }
    bool isPost() const { return method == "POST"; }
};

} // namespace kestrova
