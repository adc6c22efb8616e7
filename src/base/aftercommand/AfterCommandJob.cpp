#include "base/aftercommand/AfterCommandJob.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kestrova {

namespace {
const QString kNumberKey = QStringLiteral("nr");
const QString kRecordingKey = QStringLiteral("aufnahme");
const QString kFailuresKey = QStringLiteral("fehlversuche");
const QString kNextTryKey = QStringLiteral("naechster_versuch");
const QString kDoneKey = QStringLiteral("erledigt");

QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
} // namespace

QByteArray AfterCommandJob::toRecord() const {
    QJsonObject object{{kNumberKey, number}, {kRecordingKey, recording.toJson()}, {kFailuresKey, failures}};
    if (nextTry.isValid()) {
        object.insert(kNextTryKey, nextTry.toUTC().toString(Qt::ISODateWithMs));
    }
    return compact(object);
}

QByteArray doneRecord(qint64 number) {
    return compact({{kNumberKey, number}, {kDoneKey, true}});
}

std::optional<AfterCommandRecord> readAfterCommandRecord(const QByteArray& record) {
    const QJsonObject object = QJsonDocument::fromJson(record).object();
    const qint64 number = object.value(kNumberKey).toInteger(-1);
    if (number < 0) {
        return std::nullopt;
    }
    if (object.value(kDoneKey).toBool()) {
        return AfterCommandRecord{number, std::nullopt};
    }
    if (!object.value(kRecordingKey).isObject()) {
        return std::nullopt;
    }
    AfterCommandJob job;
    job.number = number;
    job.recording = FiledRecording::fromJson(object.value(kRecordingKey).toObject());
    job.failures = object.value(kFailuresKey).toInt();
    job.nextTry = QDateTime::fromString(object.value(kNextTryKey).toString(), Qt::ISODateWithMs);
    return AfterCommandRecord{number, job};
}

} // namespace kestrova
