#pragma once

#include "base/settings/NamedSetting.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

// The MQTT settings file KestrovaMqtt.ini beside Kestrova.ini, one "key=value" a
// line. Without a usable broker MQTT stays off. A bad value is reported and its
// default taken, so one typing error never silences the control room's feed.
struct MqttSettings {
    QString broker;
    int port = 1883;
    bool tls = false;
    QString caFile; // empty: the system's CAs
    QString user;
    QString password;
    QString prefix = QStringLiteral("kestrova");
    QString circuit; // empty: "kreis<N>" after the circuit of Kestrova.ini
    bool homeAssistant = false;
    int queueBound = 10000;
    // German lines for the event log: the file unreadable, each bad value with the
    // default taken, a password others can read.
    QStringList problems;

    bool enabled() const { return !broker.isEmpty(); }
    // The circuit's name in the topics.
    QString circuitFor(long long circuitNumber) const;
};

QString mqttSettingsPath(const QString& programFolder);
// What waits for the broker's acknowledgement, kept across restarts.
QString mqttQueuePath(const QString& programFolder);
// Reads a plain file only, and never waits on a FIFO. No file: MQTT off, no problem.
MqttSettings readMqttSettings(const QString& path);
// The lines of the file as the command line sets them ("mqtt.broker"), in the
// file's order; the reading takes the same keys.
std::vector<NamedSetting> mqttSettingLines();
// German, why the value cannot stand on the key's line (as --setze checks it);
// empty when it can.
QString mqttValueProblem(const QString& key, const QString& value);

} // namespace kestrova
