#pragma once

#include "base/common/LiveStatus.h"
#include "base/web/EventStream.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrova {

// The recorder's state and input level as server-sent events: every follower gets
// an event "status" when the status has changed (a few times a second at most,
// however often the meter moves) and an event "liste" when the list of recordings
// has changed. The board wakes the feed when it changes, and only while someone
// follows: an idle page costs no wake-ups but a keep-alive. The feed works on the
// thread it lives on; a follower may join from any thread.
class LiveFeed : public QObject {
    Q_OBJECT
public:
    // At most two and a half looks a second: the level still moves, and the
    // thread sleeps most of the time.
    static constexpr int kLookMs = 400;
    // A comment line after 16 s without an event, so proxies and phones keep the line open.
    static constexpr int kKeepAliveMs = 16000;

    explicit LiveFeed(LiveStatusBoard& board, QObject* parent = nullptr);
    ~LiveFeed() override;
    LiveFeed(const LiveFeed&) = delete;
    LiveFeed& operator=(const LiveFeed&) = delete;

    // A new follower's stream, which starts with the status as it is now.
    std::shared_ptr<EventStream> follow();

    static QByteArray statusJson(const LiveStatus& status);

signals:
    void lookWanted();
    void firstFollower();

private:
    // Called on the board's thread: only posts.
    void boardChanged();
    void startFollowing();
    // On the feed's thread: looks now, or when the last look is far enough back.
    void lookSoon();
    void look();
    void keepAlive();
    void push(const QByteArray& events);
    // Drops the followers that left; false when none is left.
    bool dropGone();

    LiveStatusBoard& board_;
    QTimer lookTimer_; // children, so they move with the feed
    QTimer keepAliveTimer_;
    QElapsedTimer sinceLook_;
    std::atomic<bool> following_{false};
    std::atomic<bool> lookPosted_{false};
    std::mutex mutex_;
    std::vector<std::shared_ptr<EventStream>> followers_;
    QByteArray lastStatus_;
    quint64 lastRevision_ = 0;
};

} // namespace kestrova
