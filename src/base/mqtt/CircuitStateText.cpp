#include "base/mqtt/CircuitStateText.h"

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
    return text;
}

} // namespace kestrova
