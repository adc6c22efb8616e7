#include "base/relay/FiledRecordings.h"

#include "base/archive/Archive.h"
#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"
#include "base/integrity/ManifestWriter.h"
#include "base/settings/SettingsValues.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace kestrova {

namespace {
// Enough to hash the last recordings on a small machine; with the manifests' own
// wait at the end still within the ten seconds a service manager gives a stop.
constexpr int kEntriesWaitAtEnd = 4000;

QString absolute(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// The web page's name of a copy: "W/name" for the recordings folder whatever its
// spelling, the dated archive's path as it is.
QString pageRelativePath(const QString& docFolder, const QString& copy) {
    const QString relative = QDir(docFolder).relativeFilePath(copy);
    const QString first = relative.section(QLatin1Char('/'), 0, 0);
    if (isRecordingsFolderName(first)) {
        return QStringLiteral("W/") + relative.section(QLatin1Char('/'), 1);
    }
    return relative;
}

// To the second, as the name counts; at the offset the local clock had then.
QDateTime startOf(const QString& name, const QDateTime& known) {
    QDateTime start = known;
    if (!start.isValid()) {
        const std::optional<QDateTime> reading = recordingMoment(name);
        if (!reading) {
            return {};
        }
        start = QDateTime(reading->date(), reading->time(), Qt::LocalTime);
    }
    const qint64 second = start.toMSecsSinceEpoch() - start.time().msec();
    return QDateTime::fromMSecsSinceEpoch(second, Qt::OffsetFromUTC, start.offsetFromUtc());
}

// The facts of a recording from what its entry read. `start` is when the recorder
// began it; when unknown, the name's reading of the local clock stands for it.
FiledRecording factsOf(const RecordingEntry& entry, const QString& docFolder, const QString& pageBase,
                       const QDateTime& start) {
    FiledRecording facts;
    facts.name = entry.name;
    facts.path = entry.path;
    facts.relativePath = pageRelativePath(absolute(docFolder), facts.path);
    facts.start = startOf(entry.name, start);
    // A copy that could not be hashed may still show its header.
    facts.seconds = entry.sha256.isEmpty() ? recordingLength(facts.path) : entry.seconds;
    facts.sha256 = QString::fromLatin1(entry.sha256);
    facts.downloadAddress = downloadAddressOf(pageBase, facts.relativePath);
    return facts;
}

} // namespace

FiledRecordings::FiledRecordings(const SettingsValues& values, ManifestWriter& manifests)
    : values_(values), manifests_(manifests) {
    qRegisterMetaType<FiledRecording>();
    connect(&manifests_, &ManifestWriter::recordingEntered, this, &FiledRecordings::entered,
            Qt::QueuedConnection);
}

void FiledRecordings::follow(const Archive& archive) {
    connect(&archive, &Archive::recordingKept, this, &FiledRecordings::kept);
    connect(&archive, &Archive::recordingFiled, this, &FiledRecordings::filed);
}

void FiledRecordings::finish() {
    const auto waiting = [](const Filed& recording) { return !recording.entry; };
    if (std::any_of(filed_.cbegin(), filed_.cend(), waiting)) {
        manifests_.waitForPending(kEntriesWaitAtEnd);
        // The writer's reports are queued to this thread, whose loop has ended.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    for (Filed& recording : filed_) {
        if (!recording.entry) {
            recording.entry =
                RecordingEntry{.name = recording.name,
                               .path = keptCopyPath(recording.docFolder, recording.name, recording.archiving),
                               .size = 0,
                               .sha256 = {},
                               .seconds = 0};
        }
    }
    deliver();
}

void FiledRecordings::releaseReports() {
    held_ = false;
    deliver();
}

void FiledRecordings::kept(const QString& name) {
    lastKept_ = name;
}

void FiledRecordings::filed(const QString& name, const QDateTime& start) {
    const QString docFolder = absolute(values_.docFolder);
    const bool archiving = values_.archiveRecordings == 1;
    filed_.append({.name = name,
                   .start = start,
                   .docFolder = docFolder,
                   .archiving = archiving,
                   .pageBase = pageBase_,
                   .entry = std::nullopt});
    // Its copy was entered by the start that made it: the writer reads it in turn.
    if (std::exchange(lastKept_, {}) != name) {
        manifests_.reportKept(docFolder, name, archiving);
    }
}

void FiledRecordings::entered(const RecordingEntry& entry) {
    // A recording kept but not filed now (its copy in D/w was there) was told when it came.
    const auto waiting = std::find_if(filed_.begin(), filed_.end(), [&entry](const Filed& recording) {
        return !recording.entry && recording.name == entry.name;
    });
    if (waiting != filed_.end()) {
        waiting->entry = entry;
        deliver();
    }
}

void FiledRecordings::deliver() {
    while (!held_ && !filed_.isEmpty() && filed_.constFirst().entry) {
        const Filed recording = filed_.takeFirst();
        emit recordingFiled(
            factsOf(*recording.entry, recording.docFolder, recording.pageBase, recording.start));
    }
}

} // namespace kestrova
