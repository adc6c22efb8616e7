#include "base/mqtt/RecordingDelivery.h"

#include "base/desktop/EventLog.h"

#include <QDir>
#include <chrono>
#include <utility>

namespace kestrova {

namespace {
constexpr std::chrono::seconds kAcknowledgementDue{10};
} // namespace

RecordingDelivery::RecordingDelivery(const QString& queuePath, qsizetype bound, EventLog& events, Send send)
    : queue_(queuePath, bound), events_(events), send_(std::move(send)) {
    if (!queue_.load()) {
        events_.record(
            EventPriority::Warning,
            QStringLiteral("MQTT: die Warteschlange [%1] lässt sich nicht lesen; was darin wartete, "
                           "wird nicht gesendet, und neue Meldungen warten nur im Speicher.")
                .arg(QDir::toNativeSeparators(queuePath)));
    }
    reportDrops();
    overdue_.setSingleShot(true);
    overdue_.setInterval(kAcknowledgementDue);
    connect(&overdue_, &QTimer::timeout, this, [this] {
        if (connected_ && !frontMids_.isEmpty()) {
            sendFront();
        }
    });
}

void RecordingDelivery::take(const QByteArray& record) {
    const qsizetype droppedBefore = queue_.dropped();
    if (!queue_.push(record) && !writeTroubleReported_) {
        writeTroubleReported_ = true;
        events_.record(EventPriority::Warning,
                       QStringLiteral("MQTT: die Warteschlange [%1] lässt sich nicht schreiben; die Meldung "
                                      "wartet nur im Speicher.")
                           .arg(QDir::toNativeSeparators(queue_.path())));
    }
    reportDrops();
    // A full queue let the front go while it was on its way: its acknowledgement
    // must not take the next one off.
    if (queue_.dropped() != droppedBefore) {
        frontMids_.clear();
    }
    if (connected_ && frontMids_.isEmpty()) {
        sendFront();
    }
}

void RecordingDelivery::connected() {
    connected_ = true;
    if (frontMids_.isEmpty()) {
        sendFront();
    } else {
        overdue_.start();
    }
}

void RecordingDelivery::lost() {
    connected_ = false;
    overdue_.stop();
}

void RecordingDelivery::acknowledged(int mid) {
    if (!frontMids_.contains(mid)) {
        return;
    }
    frontMids_.clear();
    overdue_.stop();
    queue_.popFront();
    if (queue_.isEmpty()) {
        writeTroubleReported_ = false;
    }
    sendFront();
}

void RecordingDelivery::sendFront() {
    if (!connected_ || queue_.isEmpty()) {
        return;
    }
    const int mid = send_(queue_.front());
    if (mid >= 0) {
        frontMids_.append(mid);
        overdue_.start();
    }
}

void RecordingDelivery::reportDrops() {
    if (queue_.dropped() == dropsReported_) {
        return;
    }
    // Once for the first that gave way, then once a thousand.
    const bool first = dropsReported_ == 0;
    if (first || queue_.dropped() / 1000 != dropsReported_ / 1000) {
        events_.record(EventPriority::Warning,
                       QStringLiteral("MQTT: die Warteschlange ist voll; %1 ältere Aufnahme-Meldungen sind "
                                      "verworfen.")
                           .arg(queue_.dropped()));
    }
    dropsReported_ = queue_.dropped();
}

} // namespace kestrova
