#pragma once

#include <QByteArray>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QList>
#include <QPair>
#include <QString>

namespace kestrova {

using HeaderPairs = QList<QPair<QByteArray, QByteArray>>;

// The web page's answers, each with the headers that keep a browser from doing
// more with them than showing them.
void writeCommonHeaders(QHttpServerResponder& responder, QHttpServerResponder::StatusCode status,
                        const QByteArray& type);
// Status line, headers and the whole body; extra headers go before the body.
void reply(QHttpServerResponder& responder, QHttpServerResponder::StatusCode status, const QByteArray& type,
           const QByteArray& body, const HeaderPairs& extra = {});
void replyJson(QHttpServerResponder& responder, const QJsonDocument& document,
               QHttpServerResponder::StatusCode status = QHttpServerResponder::StatusCode::Ok,
               const HeaderPairs& extra = {});
// {"fehler": message}
void replyError(QHttpServerResponder& responder, QHttpServerResponder::StatusCode status,
                const QString& message);

// A file name as a header may carry it: nothing that could end the header or the quotes.
QByteArray headerSafeName(const QString& name);

} // namespace kestrova
