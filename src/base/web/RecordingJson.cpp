#include "base/web/RecordingJson.h"

#include "base/archive/DatedTree.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"
#include "base/web/ServedPaths.h"

#include <QDir>
#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

namespace kestrova {

namespace {

// Newest first, as the page shows them; the list's own order turned round.
bool isNewer(const QString& a, const QString& b) {
    return isListedBefore(b, a);
}

} // namespace

QJsonObject recordingJson(const QString& name, double seconds, const QString& relativeFolder,
                          const QString& fullPath, const HashLookup& hash) {
    QJsonObject object{{QStringLiteral("name"), name},
                       {QStringLiteral("sekunden"), qRound(seconds * 10) / 10.0},
                       {QStringLiteral("pfad"), relativeFolder + QLatin1Char('/') + name},
                       {QStringLiteral("hash"), hash ? hash(fullPath) : QString()}};
    if (const std::optional<QDateTime> moment = recordingMoment(name)) {
        object.insert(QStringLiteral("datum"), moment->toString(QStringLiteral("dd.MM.yyyy")));
        object.insert(QStringLiteral("zeit"), moment->toString(QStringLiteral("HH:mm:ss")));
    }
    return object;
}

QJsonArray listedRecordingsJson(const LiveStatus& status, const QString& recordingsFolder,
                                const HashLookup& hash) {
    std::vector<ListedRecording> recordings;
    recordings.reserve(status.recordings.size());
    for (std::size_t index = 0; index < status.recordings.size(); ++index) {
        recordings.push_back(status.recordings[index]);
    }
    std::stable_sort(
        recordings.begin(), recordings.end(),
        [](const ListedRecording& a, const ListedRecording& b) { return isNewer(a.name, b.name); });
    QJsonArray array;
    for (const ListedRecording& recording : recordings) {
        array.append(recordingJson(recording.name, recording.seconds, QStringLiteral("W"),
                                   QDir(recordingsFolder).filePath(recording.name), hash));
    }
    return array;
}

QJsonArray archiveDaysJson(const QString& docFolder) {
    QJsonArray days;
    const ServedPaths served(docFolder);
    QHash<QString, bool> servedTrees;
    for (const DatedDay& day : datedDays(docFolder)) {
        // Only what the page would serve: no folder that leads out of the documentation folder.
        if (!servedTrees.contains(day.tree)) {
            servedTrees.insert(day.tree, served.archiveFolder(day.tree).has_value());
        }
        if (servedTrees.value(day.tree)) {
            days.append(QJsonObject{{QStringLiteral("kreis"), day.circuit()},
                                    {QStringLiteral("datum"), day.date()},
                                    {QStringLiteral("pfad"), day.relativePath()}});
        }
    }
    return days;
}

QJsonArray archiveDayJson(const QString& dayFolder, const QString& relativeDayFolder,
                          const HashLookup& hash) {
    QList<QJsonObject> recordings;
    for (const QString& recording : recordingsOfDay(dayFolder)) {
        const QString path = QDir(dayFolder).filePath(recording);
        const QString hour = recording.section(QLatin1Char('/'), 0, 0);
        const QString name = recording.section(QLatin1Char('/'), 1);
        recordings << recordingJson(name, recordingLength(path), relativeDayFolder + QLatin1Char('/') + hour,
                                    path, hash);
    }
    std::stable_sort(recordings.begin(), recordings.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return isNewer(a.value(QStringLiteral("name")).toString(),
                       b.value(QStringLiteral("name")).toString());
    });
    QJsonArray array;
    for (const QJsonObject& recording : std::as_const(recordings)) {
        array.append(recording);
    }
    return array;
}

} // namespace kestrova
