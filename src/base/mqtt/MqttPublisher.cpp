#include "base/mqtt/MqttPublisher.h"

#include "base/desktop/EventLog.h"
#include "base/mqtt/HomeAssistantDiscovery.h"
#include "base/mqtt/MqttClient.h"
#include "base/relay/FiledRecording.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>

namespace kestrova {

namespace {

// Home Assistant's meter and the page move five times a second; more is noise.
constexpr std::chrono::milliseconds kLevelGap{200};
// A first connection that takes longer than this is reported as trouble.
constexpr std::chrono::seconds kUnreachableAfter{10};
constexpr int kAtMostOnce = 0;
constexpr int kAtLeastOnce = 1;

} // namespace

MqttPublisher::MqttPublisher(const MqttSettings& settings, const QString& programFolder, EventLog& events)
    : settings_(settings), events_(events),
      delivery_(mqttQueuePath(programFolder), settings.queueBound, events,
                [this](const QByteArray& record) { return sendRecording(record); }),
      level_(
          [this](int level) {
              if (connected_) {
                  client_->publish(topics_.level(), QByteArray::number(level), kAtMostOnce, false);
              }
          },
          kLevelGap) {
    unreachable_.setSingleShot(true);
    unreachable_.setInterval(kUnreachableAfter);
    connect(&unreachable_, &QTimer::timeout, this, [this] {
        reportTrouble(QStringLiteral("MQTT: der Broker %1 ist nicht erreichbar; neue Versuche laufen.")
                          .arg(brokerName()));
    });
}

MqttPublisher::~MqttPublisher() {
    finish();
}

void MqttPublisher::start(const QString& circuit) {
    topics_ = {settings_.prefix, circuit};
    status_.circuit = circuit;
    client_ = std::make_unique<MqttClient>(MqttConnection{.host = settings_.broker,
                                                          .port = settings_.port,
                                                          .tls = settings_.tls,
                                                          .caFile = settings_.caFile,
                                                          .user = settings_.user,
                                                          .password = settings_.password,
                                                          .willTopic = topics_.status(),
                                                          .willPayload = offlineStatusJson(circuit)});
    connect(client_.get(), &MqttClient::connected, this, &MqttPublisher::onConnected);
    connect(client_.get(), &MqttClient::lost, this, &MqttPublisher::onLost);
    connect(client_.get(), &MqttClient::refused, this, &MqttPublisher::onRefused);
    connect(client_.get(), &MqttClient::acknowledged, &delivery_, &RecordingDelivery::acknowledged);
    const QString refusal = client_->start();
    if (!refusal.isEmpty()) {
        events_.record(EventPriority::Warning, QStringLiteral("MQTT bleibt aus: ") + refusal);
        client_.reset();
        return;
    }
    events_.record(
        EventPriority::Notice,
        QStringLiteral("MQTT: Meldungen an den Broker %1 unter \"%2\"").arg(brokerName(), topics_.base()));
    unreachable_.start();
}

void MqttPublisher::take(const FiledRecording& recording) {
    delivery_.take(QJsonDocument(recording.toJson()).toJson(QJsonDocument::Compact));
}

void MqttPublisher::setStatus(ProgramStatus status) {
    status.circuit = status_.circuit;
    if (status == status_) {
        return;
    }
    status_ = std::move(status);
    publishStatus();
}

void MqttPublisher::setLevel(int level) {
    level_.take(level);
}

void MqttPublisher::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    unreachable_.stop();
    if (!client_) {
        return;
    }
    if (connected_) {
        client_->publish(topics_.status(), offlineStatusJson(topics_.circuit), kAtLeastOnce, true);
    }
    connected_ = false;
    client_->stop();
}

void MqttPublisher::onConnected() {
    if (finished_) {
        return;
    }
    unreachable_.stop();
    connected_ = true;
    if (troubleReported_) {
        events_.record(EventPriority::Notice,
                       QStringLiteral("MQTT: die Verbindung zum Broker %1 steht wieder.").arg(brokerName()));
    } else if (!everConnected_) {
        events_.record(EventPriority::Notice, QStringLiteral("MQTT: verbunden mit %1.").arg(brokerName()));
    }
    everConnected_ = true;
    troubleReported_ = false;
    publishStatus();
    if (settings_.homeAssistant) {
        for (const RetainedMessage& message : homeAssistantDiscovery(topics_, status_.version)) {
            client_->publish(message.topic, message.payload, kAtLeastOnce, true);
        }
    }
    level_.forget();
    delivery_.connected();
    emit connectionUp();
}

void MqttPublisher::onLost(const QString& reason) {
    if (finished_ || !connected_) {
        return;
    }
    connected_ = false;
    delivery_.lost();
    reportTrouble(
        QStringLiteral("MQTT: die Verbindung zum Broker %1 ist verloren (%2); neue Versuche laufen.")
            .arg(brokerName(), reason));
}

void MqttPublisher::onRefused(const QString& reason) {
    if (finished_) {
        return;
    }
    unreachable_.stop();
    reportTrouble(
        QStringLiteral("MQTT: der Broker %1 weist die Verbindung ab: %2").arg(brokerName(), reason));
}

// Once for a stretch of trouble, however many attempts fail in it.
void MqttPublisher::reportTrouble(const QString& line) {
    if (troubleReported_) {
        return;
    }
    troubleReported_ = true;
    events_.record(EventPriority::Warning, line);
}

int MqttPublisher::sendRecording(const QByteArray& record) {
    QJsonObject json = QJsonDocument::fromJson(record).object();
    json.insert(QStringLiteral("kreis"), topics_.circuit);
    return client_->publish(topics_.recording(), QJsonDocument(json).toJson(QJsonDocument::Compact),
                            kAtLeastOnce, false);
}

// The status is retained: whoever subscribes later learns it at once. Sent at most
// once; a connection that comes back sends it anew.
void MqttPublisher::publishStatus() {
    if (connected_) {
        client_->publish(topics_.status(), status_.toJson(), kAtMostOnce, true);
    }
}

QString MqttPublisher::brokerName() const {
    return settings_.broker + QLatin1Char(':') + QString::number(settings_.port);
}

} // namespace kestrova
