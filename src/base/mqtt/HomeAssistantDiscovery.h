#pragma once

#include "base/mqtt/MqttTopics.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kestrova {

struct RetainedMessage {
    QString topic;
    QByteArray payload;
};

// Home Assistant's discovery messages for one circuit: "Aufnahme läuft", "Sender
// getastet" and "Alarm" (on while any alarm stands, their texts as its attribute
// "alarme") read the status, "Pegel" the level topic; each is available while the
// status says online.
QList<RetainedMessage> homeAssistantDiscovery(const MqttTopics& topics, const QString& version);

} // namespace kestrova
