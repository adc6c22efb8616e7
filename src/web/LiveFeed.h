#pragma once

#include "common/LiveStatus.h"
#include "web/EventStream.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrova {

// The recorder's state and input level as server-sent events: every follower gets
// an event "status" when something has changed since the last look (a few times a
// second at most, however often the meter ticks) and an event "liste" when the
// list of recordings has changed. The feed looks on the thread it lives on; a
// follower may join from any thread.
class LiveFeed : public QObject {
    Q_OBJECT
public:
    // Two and a half looks a second: the level still moves, and the thread sleeps
    // most of the time.
    static constexpr int kLookMs = 400;
    // A comment line every 16 s, so proxies and phones keep the line open.
    static constexpr int kKeepAliveLooks = 40;

    explicit LiveFeed(const LiveStatusBoard& board, QObject* parent = nullptr);

    // A new follower's stream, which starts with the status as it is now.
    std::shared_ptr<EventStream> follow();

    static QByteArray statusJson(const LiveStatus& status);

private:
    void look();

    const LiveStatusBoard& board_;
    QTimer timer_; // a child, so it moves with the feed
    std::mutex mutex_;
    std::vector<std::shared_ptr<EventStream>> followers_;
    QByteArray lastStatus_;
    quint64 lastRevision_ = 0;
    int quietLooks_ = 0;
};

} // namespace kestrova
