#include "base/mqtt/ProgramStatus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova {

QByteArray ProgramStatus::toJson() const {
    QJsonObject json{{QStringLiteral("online"), true},
                     {QStringLiteral("kreis"), circuit},
                     {QStringLiteral("rekorder_an"), recorderOn},
                     {QStringLiteral("aufnahme_laeuft"), recording},
                     {QStringLiteral("getastet"), keyed},
                     {QStringLiteral("eingang_liefert"), inputDelivering},
                     {QStringLiteral("loeschsperre"), deletionHold},
                     {QStringLiteral("version"), version},
                     {QStringLiteral("alarme"), QJsonArray::fromStringList(alarms)},
                     {QStringLiteral("alarmtexte"), QJsonArray::fromStringList(alarmTexts)}};
    if (!webAddress.isEmpty()) {
        json.insert(QStringLiteral("webseite"), webAddress);
    }
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

QByteArray offlineStatusJson(const QString& circuit) {
    const QJsonObject json{{QStringLiteral("online"), false}, {QStringLiteral("kreis"), circuit}};
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

} // namespace kestrova
