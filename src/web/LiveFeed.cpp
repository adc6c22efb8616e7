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

void LiveFeed::follow(QHttpServerResponder&& responder) {
    responder.writeStatusLine();
    responder.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
    responder.writeHeader("Cache-Control", "no-store");
    // Told to a reverse proxy, so it passes each event on at once.
    responder.writeHeader("X-Accel-Buffering", "no");
    QTcpSocket* socket = responder.socket();
    socket->write("\r\n");
    const LiveStatus status = board_.read();
    socket->write("retry: 2000\n\n" + sseEvent("status", statusJson(status)));
    followers_.push_back({std::move(responder), socket});
    if (!timer_.isActive()) {
        lastStatus_ = statusJson(status);
        lastRevision_ = status.listRevision;
        timer_.start();
    }
}

void LiveFeed::look() {
    followers_.remove_if([](const Follower& follower) {
        return !follower.socket || follower.socket->state() != QAbstractSocket::ConnectedState;
    });
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
        sendToAll(events);
    }
}

void LiveFeed::sendToAll(const QByteArray& events) {
    for (Follower& follower : followers_) {
        // A follower that reads nothing is dropped rather than buffered without end.
        constexpr qint64 kMostUnsent = 256 * 1024;
        if (follower.socket->bytesToWrite() > kMostUnsent) {
            follower.socket->abort();
            continue;
        }
        follower.socket->write(events);
    }
}

} // namespace kestrova
