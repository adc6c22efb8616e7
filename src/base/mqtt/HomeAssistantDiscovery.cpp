#include "base/mqtt/HomeAssistantDiscovery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace kestrova {

namespace {

// Discovery's node and object ids take letters, digits, "_" and "-" alone.
QString idOf(const QString& text) {
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_-]"));
    return QString(text).replace(other, QStringLiteral("_"));
}

struct Entity {
    QString component; // "binary_sensor" or "sensor"
    QString object;
    QString name;
    QString stateTopic;
    QString valueTemplate;
    QString unit;
    QString deviceClass;
    // The entity's attributes taken from the state topic; none when empty.
    QString attributesTemplate;
};

RetainedMessage configOf(const Entity& entity, const MqttTopics& topics, const QString& version) {
    const QString node = idOf(topics.prefix + QLatin1Char('_') + topics.circuit);
    const QJsonObject device{{QStringLiteral("identifiers"), QJsonArray{QStringLiteral("kestrova_") + node}},
                             {QStringLiteral("name"), QStringLiteral("Kestrova ") + topics.circuit},
                             {QStringLiteral("manufacturer"), QStringLiteral("Kestrova")},
                             {QStringLiteral("model"), QStringLiteral("Kestrova")},
                             {QStringLiteral("sw_version"), version}};
    QJsonObject config{
        {QStringLiteral("name"), entity.name},
        {QStringLiteral("unique_id"), QStringLiteral("kestrova_") + node + QLatin1Char('_') + entity.object},
        {QStringLiteral("state_topic"), entity.stateTopic},
        {QStringLiteral("value_template"), entity.valueTemplate},
        {QStringLiteral("availability_topic"), topics.status()},
        {QStringLiteral("availability_template"),
         QStringLiteral("{{ 'online' if value_json.online else 'offline' }}")},
        {QStringLiteral("device"), device}};
    if (!entity.unit.isEmpty()) {
        config.insert(QStringLiteral("unit_of_measurement"), entity.unit);
    }
    if (!entity.deviceClass.isEmpty()) {
        config.insert(QStringLiteral("device_class"), entity.deviceClass);
    }
    if (!entity.attributesTemplate.isEmpty()) {
        config.insert(QStringLiteral("json_attributes_topic"), entity.stateTopic);
        config.insert(QStringLiteral("json_attributes_template"), entity.attributesTemplate);
    }
    const QString topic =
        QStringLiteral("homeassistant/%1/kestrova_%2/%3/config").arg(entity.component, node, entity.object);
    return {topic, QJsonDocument(config).toJson(QJsonDocument::Compact)};
}

} // namespace

QList<RetainedMessage> homeAssistantDiscovery(const MqttTopics& topics, const QString& version) {
    const QString onWhen = QStringLiteral("{{ 'ON' if value_json.%1 else 'OFF' }}");
    const QList<Entity> entities{
        {QStringLiteral("binary_sensor"), QStringLiteral("aufnahme"), QStringLiteral("Aufnahme läuft"),
         topics.status(), onWhen.arg(QStringLiteral("aufnahme_laeuft")), QString(), QString(), QString()},
        {QStringLiteral("binary_sensor"), QStringLiteral("getastet"), QStringLiteral("Sender getastet"),
         topics.status(), onWhen.arg(QStringLiteral("getastet")), QString(), QString(), QString()},
        {QStringLiteral("binary_sensor"), QStringLiteral("alarm"), QStringLiteral("Alarm"), topics.status(),
         onWhen.arg(QStringLiteral("alarme")), QString(), QStringLiteral("problem"),
         QStringLiteral("{{ {'alarme': value_json.alarmtexte} | tojson }}")},
        {QStringLiteral("sensor"), QStringLiteral("pegel"), QStringLiteral("Pegel"), topics.level(),
         QStringLiteral("{{ value | int }}"), QStringLiteral("%"), QString(), QString()}};
    QList<RetainedMessage> messages;
    for (const Entity& entity : entities) {
        messages << configOf(entity, topics, version);
    }
    return messages;
}

} // namespace kestrova
