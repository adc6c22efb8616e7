#include "base/web/CircuitsListing.h"

#include "base/archive/DatedTree.h"
#include "base/archive/RecordingName.h"
#include "base/web/HttpStatus.h"
#include "base/web/ServedPaths.h"

#include <QDir>
#include <QJsonObject>
#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

namespace kestrova {

namespace {

// The circuit a path names, and the rest of the path; nullopt for no circuit of the page.
std::optional<std::pair<const CircuitLive*, QString>> circuitOf(const LiveStatus& status,
                                                                const QString& relativePath) {
    bool number = false;
    const qsizetype place = relativePath.section(QLatin1Char('/'), 0, 0).toLongLong(&number);
    if (!number || place < 1 || place > static_cast<qsizetype>(status.circuits.size())) {
        return std::nullopt;
    }
    return std::pair{&status.circuits[static_cast<std::size_t>(place - 1)],
                     relativePath.section(QLatin1Char('/'), 1)};
}

QJsonObject withCircuit(QJsonObject row, std::size_t index, const CircuitLive& circuit) {
    row.insert(QStringLiteral("kreis"), static_cast<qint64>(index + 1));
    row.insert(QStringLiteral("kreisname"), circuit.name);
    return row;
}

// Written row by row: tens of thousands of rows held as objects at once would cost
// tens of megabytes that the allocator keeps.
QByteArray listedJson(const LiveStatus& status, const HashLookup& hash) {
    // (moment, circuit, entry): newest first across the circuits.
    std::vector<std::tuple<qint64, std::size_t, std::size_t>> rows;
    for (std::size_t c = 0; c < status.circuits.size(); ++c) {
        const ListedRecordings& list = status.circuits[c].recordings;
        for (std::size_t i = 0; i < list.size(); ++i) {
            rows.emplace_back(recordingMomentKey(list.nameAt(i)).value_or(0), c, i);
        }
    }
    std::sort(rows.begin(), rows.end(), std::greater<>());
    std::vector<QString> folders;
    for (const CircuitLive& circuit : status.circuits) {
        folders.push_back(ServedPaths(circuit.docFolder).recordingsFolder().value_or(QString()));
    }
    QByteArray array("[");
    for (const auto& [key, c, i] : rows) {
        const ListedRecording entry = status.circuits[c].recordings[i];
        const QString relative = QString::number(c + 1) + QStringLiteral("/W");
        if (array.size() > 1) {
            array += ',';
        }
        array += QJsonDocument(withCircuit(recordingJson(entry.name, entry.seconds, relative,
                                                         QDir(folders[c]).filePath(entry.name), hash),
                                           c, status.circuits[c]))
                     .toJson(QJsonDocument::Compact);
    }
    return array + ']';
}

QJsonArray daysJson(const LiveStatus& status) {
    // (yyyyMMdd, circuit, day): newest first, the circuits of one day in their order.
    std::vector<std::tuple<QString, std::size_t, QJsonObject>> days;
    for (std::size_t c = 0; c < status.circuits.size(); ++c) {
        const CircuitLive& circuit = status.circuits[c];
        for (const QJsonValue day : archiveDaysJson(circuit.docFolder)) {
            QJsonObject object = day.toObject();
            const QString date = object.value(QStringLiteral("datum")).toString(); // dd.MM.yyyy
            object.insert(QStringLiteral("pfad"), QString::number(c + 1) + QLatin1Char('/') +
                                                      object.value(QStringLiteral("pfad")).toString());
            days.emplace_back(date.mid(6) + date.mid(3, 2) + date.left(2), c,
                              withCircuit(object, c, circuit));
        }
    }
    std::sort(days.begin(), days.end(), [](const auto& a, const auto& b) {
        return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) > std::get<0>(b)
                                                : std::get<1>(a) < std::get<1>(b);
    });
    QJsonArray array;
    for (const auto& day : days) {
        array.append(std::get<2>(day));
    }
    return array;
}

} // namespace

QJsonArray circuitsJson(const std::vector<CircuitLive>& circuits) {
    QJsonArray array;
    for (std::size_t c = 0; c < circuits.size(); ++c) {
        array.append(QJsonObject{{QStringLiteral("kreis"), static_cast<qint64>(c + 1)},
                                 {QStringLiteral("name"), circuits[c].name},
                                 {QStringLiteral("nummer"), circuits[c].number},
                                 {QStringLiteral("zustand"), circuits[c].state},
                                 {QStringLiteral("problem"), circuits[c].problem}});
    }
    return array;
}

Reply circuitsListing(const LiveStatus& status, const QString& path, const QString& day,
                      const HashLookup& hash) {
    if (path == QStringLiteral("/api/aufnahmen")) {
        return reply(Ok, "application/json", listedJson(status, hash));
    }
    if (path == QStringLiteral("/api/archiv")) {
        return jsonReply(QJsonDocument(daysJson(status)));
    }
    const auto circuit = circuitOf(status, day);
    const std::optional<QString> folder =
        circuit ? ServedPaths(circuit->first->docFolder).archiveFolder(circuit->second) : std::nullopt;
    if (!folder) {
        return errorReply(NotFound, QStringLiteral("Diesen Tag gibt es im Archiv nicht."));
    }
    QJsonArray rows;
    const auto index = static_cast<std::size_t>(circuit->first - status.circuits.data());
    for (const QJsonValue row : archiveDayJson(*folder, day, hash)) {
        rows.append(withCircuit(row.toObject(), index, *circuit->first));
    }
    return jsonReply(QJsonDocument(rows));
}

std::optional<QString> servedRecording(const LiveStatus& status, const QString& relativePath) {
    if (status.circuits.empty()) {
        return ServedPaths(status.docFolder).recording(relativePath);
    }
    const auto circuit = circuitOf(status, relativePath);
    return circuit ? ServedPaths(circuit->first->docFolder).recording(circuit->second) : std::nullopt;
}

} // namespace kestrova
