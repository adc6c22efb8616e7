#include "base/web/LiveFeed.h"

#include "base/common/TimerWait.h"
#include "base/web/CircuitsListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova {

namespace {

QByteArray sseEvent(const char* name, const QByteArray& data) {
    return QByteArray("event: ") + name + "\ndata: " + data + "\n\n";
}

} // namespace

LiveFeed::LiveFeed(LiveStatusBoard& board, QObject* parent)
    : QObject(parent), board_(board), lookTimer_(this), keepAliveTimer_(this) {
    lookTimer_.setSingleShot(true);
    connect(&lookTimer_, &QTimer::timeout, this, &LiveFeed::look);
    keepAliveTimer_.setInterval(kKeepAliveMs);
    connect(&keepAliveTimer_, &QTimer::timeout, this, &LiveFeed::keepAlive);
    // Emitted on other threads; the timers belong to the feed's.
    connect(this, &LiveFeed::lookWanted, this, &LiveFeed::lookSoon, Qt::QueuedConnection);
    connect(this, &LiveFeed::firstFollower, this, &LiveFeed::startFollowing, Qt::QueuedConnection);
    board_.setListener([this] { boardChanged(); });
}

LiveFeed::~LiveFeed() {
    board_.setListener({});
}

QByteArray LiveFeed::statusJson(const LiveStatus& status) {
    QJsonObject object{{QStringLiteral("an"), status.recorderOn},
                       {QStringLiteral("aufnahme"), status.recording},
                       {QStringLiteral("pause"), status.paused},
                       {QStringLiteral("pegel"), status.level},
                       {QStringLiteral("name"), status.recording ? status.recordingName : QString()},
                       {QStringLiteral("kreisname"), status.circuitName},
                       {QStringLiteral("kreis"), status.circuitNumber},
                       {QStringLiteral("alarme"), QJsonArray::fromStringList(status.alarms)}};
    if (!status.circuits.empty()) {
        object.insert(QStringLiteral("kreise"), circuitsJson(status.circuits));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::shared_ptr<EventStream> LiveFeed::follow() {
    const LiveStatus status = board_.read();
    auto stream = std::make_shared<EventStream>("retry: 2000\n\n" + sseEvent("status", statusJson(status)));
    const std::lock_guard lock(mutex_);
    if (followers_.empty()) {
        lastStatus_ = statusJson(status);
        lastRevision_ = status.listRevision;
        following_ = true;
        emit firstFollower();
    }
    followers_.push_back(stream);
    return stream;
}

void LiveFeed::boardChanged() {
    if (following_ && !lookPosted_.exchange(true)) {
        emit lookWanted();
    }
}

// A change that came in before the first follower is looked at, too.
void LiveFeed::startFollowing() {
    keepAliveTimer_.start();
    lookSoon();
}

void LiveFeed::lookSoon() {
    lookPosted_ = false;
    if (lookTimer_.isActive()) {
        return;
    }
    const qint64 since = sinceLook_.isValid() ? sinceLook_.elapsed() : kLookMs;
    if (since >= kLookMs) {
        look();
    } else {
        startTimerAfter(lookTimer_, std::chrono::milliseconds(kLookMs - since));
    }
}

void LiveFeed::look() {
    sinceLook_.restart();
    const LiveStatus status = board_.read();
    const QByteArray json = statusJson(status);
    QByteArray events;
    {
        const std::lock_guard lock(mutex_);
        if (json != lastStatus_) {
            events += sseEvent("status", json);
            lastStatus_ = json;
        }
        if (status.listRevision != lastRevision_) {
            events += sseEvent("liste", QByteArray::number(status.listRevision));
            lastRevision_ = status.listRevision;
        }
    }
    if (!events.isEmpty()) {
        push(events);
    }
}

void LiveFeed::keepAlive() {
    push(": -\n\n");
}

void LiveFeed::push(const QByteArray& events) {
    if (!dropGone()) {
        return;
    }
    keepAliveTimer_.start(); // the next keep-alive counts from this event
    const std::lock_guard lock(mutex_);
    for (const std::shared_ptr<EventStream>& stream : followers_) {
        stream->push(events);
    }
}

bool LiveFeed::dropGone() {
    const std::lock_guard lock(mutex_);
    std::erase_if(followers_, [](const std::shared_ptr<EventStream>& stream) { return stream->isGone(); });
    if (followers_.empty()) {
        following_ = false;
        keepAliveTimer_.stop();
        lookTimer_.stop();
        return false;
    }
    return true;
}

} // namespace kestrova
