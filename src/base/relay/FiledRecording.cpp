#include "base/relay/FiledRecording.h"

#include <QUrl>

namespace kestrova {

namespace {
const QString kName = QStringLiteral("name");
const QString kPath = QStringLiteral("datei");
const QString kRelative = QStringLiteral("pfad");
const QString kStart = QStringLiteral("start");
const QString kSeconds = QStringLiteral("sekunden");
const QString kHash = QStringLiteral("sha256");
const QString kAddress = QStringLiteral("adresse");
// Written with its offset. A start without one, as queues of earlier versions hold
// it, is a reading of the local clock.
QDateTime startOf(const QString& text) {
    const QDateTime start = QDateTime::fromString(text, Qt::ISODate);
    return start.toOffsetFromUtc(start.offsetFromUtc());
}

} // namespace

QString FiledRecording::startText() const {
    return start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonObject FiledRecording::toJson() const {
    QJsonObject json{{kName, name},
                     {kPath, path},
                     {kRelative, relativePath},
                     {kStart, startText()},
                     // To the hundredth: the file itself holds the exact length.
                     {kSeconds, qRound64(seconds * 100) / 100.0},
                     {kHash, sha256}};
    if (!downloadAddress.isEmpty()) {
        json.insert(kAddress, downloadAddress);
    }
    return json;
}

FiledRecording FiledRecording::fromJson(const QJsonObject& json) {
    return {.name = json.value(kName).toString(),
            .path = json.value(kPath).toString(),
            .relativePath = json.value(kRelative).toString(),
            .start = startOf(json.value(kStart).toString()),
            .seconds = json.value(kSeconds).toDouble(),
            .sha256 = json.value(kHash).toString(),
            .downloadAddress = json.value(kAddress).toString()};
}

QString downloadAddressOf(const QString& pageBase, const QString& relativePath) {
    if (pageBase.isEmpty()) {
        return {};
    }
    return pageBase + QStringLiteral("/datei?pfad=") +
           QString::fromLatin1(QUrl::toPercentEncoding(relativePath)) + QStringLiteral("&herunterladen=1");
}

} // namespace kestrova
