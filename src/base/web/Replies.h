#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QList>
#include <QPair>
#include <QString>

namespace kestrova {

using HeaderPairs = QList<QPair<QByteArray, QByteArray>>;

// A whole answer of the web page: status, type, headers and body.
struct Reply {
    int status = 200;
    QByteArray type;
    QByteArray body;
    HeaderPairs headers; // besides the type and the length
};

// The headers that keep a browser from doing more with an answer than showing it.
HeaderPairs commonHeaders();
Reply reply(int status, const QByteArray& type, const QByteArray& body, const HeaderPairs& extra = {});
Reply jsonReply(const QJsonDocument& document, int status = 200, const HeaderPairs& extra = {});
// {"fehler": message}
Reply errorReply(int status, const QString& message, const HeaderPairs& extra = {});

// A file name as a header may carry it: nothing that could end the header or the quotes.
QByteArray headerSafeName(const QString& name);

} // namespace kestrova
