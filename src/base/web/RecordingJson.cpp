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

// Newest first, as the page shows them: the list's own order turned round. Each
// name's moment is read once, not at every comparison (a day may hold 10,000).
template <typename Item, typename NameOf> void sortNewestFirst(std::vector<Item>& items, NameOf nameOf) {
    std::vector<std::pair<std::optional<qint64>, std::size_t>> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        keys.emplace_back(recordingMomentKey(nameOf(items[i])), i);
    }
    std::stable_sort(keys.begin(), keys.end(), [&items, &nameOf](const auto& a, const auto& b) {
        return a.first != b.first ? b.first < a.first : nameOf(items[b.second]) < nameOf(items[a.second]);
    });
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (const auto& key : keys) {
        sorted.push_back(std::move(items[key.second]));
    }
    items = std::move(sorted);
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
    sortNewestFirst(recordings,
                    [](const ListedRecording& recording) -> const QString& { return recording.name; });
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
    // "hh-HH/name", sorted by the name's moment.
    const QStringList found = recordingsOfDay(dayFolder);
    std::vector<QString> recordings(found.cbegin(), found.cend());
    sortNewestFirst(recordings,
                    [](const QString& recording) { return recording.section(QLatin1Char('/'), 1); });
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
