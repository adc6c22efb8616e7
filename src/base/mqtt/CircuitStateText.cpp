#include "base/mqtt/CircuitStateText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova {

QString circuitStateText(const QByteArray& statusPayload) {
    const QJsonObject status = QJsonDocument::fromJson(statusPayload).object();
    if (!status.value(QStringLiteral("online")).isBool()) {
        return QStringLiteral("unbekannt");
    }
    if (!status.value(QStringLiteral("online")).toBool()) {
        return QStringLiteral("außer Betrieb");
    }
    QString text = status.value(QStringLiteral("aufnahme_laeuft")).toBool() ? QStringLiteral("Aufnahme läuft")
                   : status.value(QStringLiteral("rekorder_an")).toBool()   ? QStringLiteral("Recorder an")
                                                                            : QStringLiteral("Recorder aus");
    if (status.value(QStringLiteral("eingang_liefert")) == QJsonValue(false)) {
        text += QStringLiteral(", Eingang liefert nichts");
    }
    // The circuit's standing alarms, each once: the input's is said above already.
    for (const QJsonValue& alarm : status.value(QStringLiteral("alarmtexte")).toArray()) {
        const QString said = alarm.toString();
        if (!said.isEmpty() && !text.contains(said)) {
            text += QStringLiteral(", ") + said;
        }
    }
    return text;
}

} // namespace kestrova
