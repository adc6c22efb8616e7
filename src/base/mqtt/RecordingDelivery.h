#pragma once

#include "base/files/DurableQueue.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace kestrova {

class EventLog;

// The filed recordings on their way to the broker, one at a time and in order: a
// record is taken off the queue on disk only once the broker has acknowledged it,
// so neither a broker that is away for an hour nor a restart of the program loses
// one. A record may reach the broker twice (after a loss just before its
// acknowledgement), never not at all. Lives on one thread with its queue.
class RecordingDelivery : public QObject {
    Q_OBJECT
public:
    // Publishes a record and gives its message id, or -1 when it did not go out.
    using Send = std::function<int(const QByteArray& record)>;

    RecordingDelivery(const QString& queuePath, qsizetype bound, EventLog& events, Send send);

    void take(const QByteArray& record);
    void connected();
    void lost();
    void acknowledged(int mid);

    qsizetype waiting() const { return queue_.size(); }

private:
    void sendFront();
    void reportDrops();

    DurableQueue queue_;
    EventLog& events_;
    Send send_;
    bool connected_ = false;
    // The ids under which the front went out; the first acknowledgement of any of them counts.
    QList<int> frontMids_;
    // libmosquitto sends a message again after a reconnect itself; should that not
    // be acknowledged in time, the front goes out once more.
    QTimer overdue_;
    qsizetype dropsReported_ = 0;
    bool writeTroubleReported_ = false;
};

} // namespace kestrova
