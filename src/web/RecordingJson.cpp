#include "web/RecordingJson.h"

#include "web/ServedPaths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <vector>

namespace kestrova {

namespace {

// F_MM-DD-YYYY_hh-mm-ss.wav
const QRegularExpression& namePattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d+)_(\\d\\d)-(\\d\\d)-(\\d{4})_(\\d\\d)-(\\d\\d)-(\\d\\d)\\.wav$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Newest first: year, month, day, time, as the name tells them.
QString sortKey(const QString& name) {
    const QRegularExpressionMatch match = namePattern().match(name);
    if (!match.hasMatch()) {
        return name;
    }
    return match.captured(4) + match.captured(2) + match.captured(3) + match.captured(5) + match.captured(6) +
           match.captured(7);
}

// The archive holds what the program filed there: a link planted in it is not listed.
QStringList subfolders(const QString& folder, const QString& prefix) {
    return QDir(folder).entryList({prefix + QLatin1Char('*')},
                                  QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
}

} // namespace

double wavSeconds(const QString& path) {
    constexpr int kHeaderBytes = 44;
    constexpr int kByteRateOffset = 28;
    constexpr int kDataSizeOffset = 40;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray header = file.read(kHeaderBytes);
    if (header.size() < kHeaderBytes || !header.startsWith("RIFF")) {
        return 0;
    }
    const quint32 byteRate = qFromLittleEndian<quint32>(header.constData() + kByteRateOffset);
    const quint32 dataSize = qFromLittleEndian<quint32>(header.constData() + kDataSizeOffset);
    return byteRate == 0 ? 0 : static_cast<double>(dataSize) / byteRate;
}

QJsonObject recordingJson(const QString& name, double seconds, const QString& relativeFolder,
                          const QString& fullPath, const HashLookup& hash) {
    QJsonObject object{{QStringLiteral("name"), name},
                       {QStringLiteral("sekunden"), qRound(seconds * 10) / 10.0},
                       {QStringLiteral("pfad"), relativeFolder + QLatin1Char('/') + name},
                       {QStringLiteral("hash"), hash ? hash(fullPath) : QString()}};
    const QRegularExpressionMatch match = namePattern().match(name);
    if (match.hasMatch()) {
        object.insert(QStringLiteral("datum"), match.captured(3) + QLatin1Char('.') + match.captured(2) +
                                                   QLatin1Char('.') + match.captured(4));
        object.insert(QStringLiteral("zeit"), match.captured(5) + QLatin1Char(':') + match.captured(6) +
                                                  QLatin1Char(':') + match.captured(7));
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
        [](const ListedRecording& a, const ListedRecording& b) { return sortKey(a.name) > sortKey(b.name); });
    QJsonArray array;
    for (const ListedRecording& recording : recordings) {
        array.append(recordingJson(recording.name, recording.seconds, QStringLiteral("W"),
                                   QDir(recordingsFolder).filePath(recording.name), hash));
    }
    return array;
}

QJsonArray archiveDaysJson(const QString& docFolder) {
    QJsonArray days;
    QStringList paths;
    const ServedPaths served(docFolder);
    for (const QString& circuit : subfolders(docFolder, QStringLiteral("Fk_"))) {
        // Only what the page would serve: no folder that leads out of the documentation folder.
        const std::optional<QString> circuitFolder = served.archiveFolder(circuit);
        if (!circuitFolder) {
            continue;
        }
        for (const QString& year : subfolders(*circuitFolder, QStringLiteral("Ja_"))) {
            const QString yearFolder = QDir(*circuitFolder).filePath(year);
            for (const QString& month : subfolders(yearFolder, QStringLiteral("Mo-"))) {
                for (const QString& day :
                     subfolders(QDir(yearFolder).filePath(month), QStringLiteral("Tg-"))) {
                    paths << circuit + QLatin1Char('/') + year + QLatin1Char('/') + month + QLatin1Char('/') +
                                 day;
                }
            }
        }
    }
    // Newest first, whatever the circuit: by year, month and day.
    const auto dateKey = [](const QString& path) {
        const QStringList parts = path.split(QLatin1Char('/'));
        return parts.at(1).mid(3) + parts.at(2).mid(3) + parts.at(3).mid(3) + parts.at(0);
    };
    std::sort(paths.begin(), paths.end(),
              [&](const QString& a, const QString& b) { return dateKey(a) > dateKey(b); });
    for (const QString& path : std::as_const(paths)) {
        const QStringList parts = path.split(QLatin1Char('/'));
        days.append(
            QJsonObject{{QStringLiteral("kreis"), parts.at(0).mid(3)},
                        {QStringLiteral("datum"), parts.at(3).mid(3) + QLatin1Char('.') + parts.at(2).mid(3) +
                                                      QLatin1Char('.') + parts.at(1).mid(3)},
                        {QStringLiteral("pfad"), path}});
    }
    return days;
}

QJsonArray archiveDayJson(const QString& dayFolder, const QString& relativeDayFolder,
                          const HashLookup& hash) {
    QList<QJsonObject> recordings;
    for (const QString& hour : subfolders(dayFolder, QStringLiteral("hh-"))) {
        const QString hourFolder = QDir(dayFolder).filePath(hour);
        const QStringList names =
            QDir(hourFolder).entryList({QStringLiteral("*.wav")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
        for (const QString& name : names) {
            const QString path = QDir(hourFolder).filePath(name);
            recordings << recordingJson(name, wavSeconds(path), relativeDayFolder + QLatin1Char('/') + hour,
                                        path, hash);
        }
    }
    std::stable_sort(recordings.begin(), recordings.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return sortKey(a.value(QStringLiteral("name")).toString()) >
               sortKey(b.value(QStringLiteral("name")).toString());
    });
    QJsonArray array;
    for (const QJsonObject& recording : std::as_const(recordings)) {
        array.append(recording);
    }
    return array;
}

} // namespace kestrova
