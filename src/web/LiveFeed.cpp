#include "web/LiveFeed.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova {

namespace {

QByteArray sseEvent(const char* name, const QByteArray& data) {
    return QByteArray("event: ") + name + "\ndata: " + data + "\n\n";
}

} // namespace

LiveFeed::LiveFeed(const LiveStatusBoard& board, QObject* parent)
    : QObject(parent), board_(board), timer_(this) {
    timer_.setInterval(kLookMs);
    connect(&timer_, &QTimer::timeout, this, &LiveFeed::look);
}

QByteArray LiveFeed::statusJson(const LiveStatus& status) {
    const QJsonObject object{{QStringLiteral("an"), status.recorderOn},
                             {QStringLiteral("aufnahme"), status.recording},
                             {QStringLiteral("pause"), status.paused},
                             {QStringLiteral("pegel"), status.level},
                             {QStringLiteral("name"), status.recording ? status.recordingName : QString()}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::shared_ptr<EventStream> LiveFeed::follow() {
    const LiveStatus status = board_.read();
    auto stream = std::make_shared<EventStream>("retry: 2000\n\n" + sseEvent("status", statusJson(status)));
    const std::lock_guard lock(mutex_);
    if (followers_.empty()) {
        lastStatus_ = statusJson(status);
        lastRevision_ = status.listRevision;
        // The timer belongs to the feed's thread.
        QMetaObject::invokeMethod(&timer_, qOverload<>(&QTimer::start), Qt::QueuedConnection);
    }
    followers_.push_back(stream);
    return stream;
}

void LiveFeed::look() {
    const std::lock_guard lock(mutex_);
    std::erase_if(followers_, [](const std::shared_ptr<EventStream>& stream) { return stream->isGone(); });
    if (followers_.empty()) {
        timer_.stop();
        return;
    }
    const LiveStatus status = board_.read();
    const QByteArray json = statusJson(status);
    QByteArray events;
    if (json != lastStatus_) {
        events += sseEvent("status", json);
        lastStatus_ = json;
    }
    if (status.listRevision != lastRevision_) {
        events += sseEvent("liste", QByteArray::number(status.listRevision));
        lastRevision_ = status.listRevision;
    }
    if (events.isEmpty() && ++quietLooks_ >= kKeepAliveLooks) {
        events = ": -\n\n";
    }
    if (!events.isEmpty()) {
        quietLooks_ = 0;
        for (const std::shared_ptr<EventStream>& stream : followers_) {
            stream->push(events);
        }
    }
}

} // namespace kestrova
