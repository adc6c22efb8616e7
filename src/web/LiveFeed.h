#pragma once

#include "common/LiveStatus.h"

#include <QByteArray>
#include <QHttpServerResponder>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <list>

namespace kestrova {

// The recorder's state and input level as server-sent events: every follower gets
// an event "status" when something has changed since the last look (a few times a
// second at most, however often the meter ticks) and an event "liste" when the
// list of recordings has changed.
class LiveFeed : public QObject {
    Q_OBJECT
public:
    // Two and a half looks a second: the level still moves, and the server's thread
    // sleeps most of the time.
    static constexpr int kLookMs = 400;
    // A comment line every 16 s, so proxies and phones keep the line open.
    static constexpr int kKeepAliveLooks = 40;

    explicit LiveFeed(const LiveStatusBoard& board, QObject* parent = nullptr);

    void follow(QHttpServerResponder&& responder);
    qsizetype followers() const { return static_cast<qsizetype>(followers_.size()); }

    static QByteArray statusJson(const LiveStatus& status);

private:
    struct Follower {
        QHttpServerResponder responder;
        QPointer<QTcpSocket> socket;
    };
    void look();
    void sendToAll(const QByteArray& event);

    const LiveStatusBoard& board_;
    QTimer timer_; // a child, so it moves with the feed to the server's thread
    std::list<Follower> followers_;
    QByteArray lastStatus_;
    quint64 lastRevision_ = 0;
    int quietLooks_ = 0;
};

} // namespace kestrova
