#include "base/web/RecordingJson.h"

#include "base/archive/DatedTree.h"
#include "base/archive/FilingOrder.h"
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

QString nameOf(const QString& recording) {
    return recording.section(QLatin1Char('/'), 1);
}

// A day's recordings ("hh-HH/name") newest first: the list's order turned round.
// Each name's moment is read once, not at every comparison (a day may hold 10,000).
void sortNewestFirst(std::vector<QString>& recordings, const QDir& day) {
    FilingOrder order;
    std::vector<std::pair<qint64, std::size_t>> keys;
    keys.reserve(recordings.size());
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        keys.emplace_back(order.sortKey(recordingMomentKey(nameOf(recordings[i])).value_or(-1)), i);
    }
    std::sort(keys.begin(), keys.end(), [&recordings](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : nameOf(recordings[a.second]) < nameOf(recordings[b.second]);
    });
    FilingOrder::orderRunsByFiling(
        keys.begin(), keys.end(), [](const auto& key) { return key.first; },
        [&recordings, &day](const auto& key) { return day.filePath(recordings[key.second]); });
    std::vector<QString> sorted;
    sorted.reserve(recordings.size());
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        sorted.push_back(std::move(recordings[key->second]));
    }
    recordings = std::move(sorted);
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
    // Newest first: the list's order turned round, which is the filing's where
    // the names cannot tell it.
    QJsonArray array;
    for (std::size_t index = status.recordings.size(); index > 0; --index) {
        const ListedRecording recording = status.recordings[index - 1];
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
    // "hh-HH/name", in the order they were filed.
    const QStringList found = recordingsOfDay(dayFolder);
    std::vector<QString> recordings(found.cbegin(), found.cend());
    sortNewestFirst(recordings, QDir(dayFolder));
    QJsonArray array;
    for (const QString& recording : recordings) {
        const QString path = QDir(dayFolder).filePath(recording);
        const QString hour = recording.section(QLatin1Char('/'), 0, 0);
        const QString name = recording.section(QLatin1Char('/'), 1);
        array.append(recordingJson(name, recordingLength(path), relativeDayFolder + QLatin1Char('/') + hour,
                                   path, hash));
    }
    return array;
}

} // namespace kestrova
