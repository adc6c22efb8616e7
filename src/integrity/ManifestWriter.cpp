#include "integrity/ManifestWriter.h"

#include "archive/RecordingFolders.h"
#include "archive/RecordingRules.h"
#include "integrity/FileHash.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace kestrova {

namespace {

// Long enough to hash an hour of recording on a small machine.
constexpr int kPendingWaitAtEnd = 5000;

QString keptCopy(const QString& docFolder, const QString& name, bool archiving) {
    const QString dated = datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name;
    if (archiving && QFileInfo(dated).isFile()) {
        return dated;
    }
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder ? *folder + QLatin1Char('/') + name : QString();
}

// A relative folder (line 2 of Kestrova.ini may be "doku") is taken from the working
// folder, as everywhere in the program, and taken so at once: the paths in the
// manifest are then relative to the documentation folder itself.
QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void warn(const QString& text) {
    qWarning().noquote() << text;
}

std::optional<ManifestEntry> keptEntry(const QString& docFolder, const QString& name, bool archiving) {
    const QString copy = keptCopy(docFolder, name, archiving);
    const std::optional<FileHash> hash = copy.isEmpty() ? std::nullopt : hashFile(copy);
    if (!hash) {
        warn(QStringLiteral("Die Aufnahme %1 kann für das Manifest nicht gelesen werden.").arg(name));
        return std::nullopt;
    }
    ManifestEntry entry;
    entry.path = QDir(docFolder).relativeFilePath(copy);
    entry.length = hash->length;
    entry.hash = hash->hash;
    return entry;
}

} // namespace

ManifestWriter::ManifestWriter() {
    pool_.setMaxThreadCount(1);
}

ManifestWriter::~ManifestWriter() {
    if (!pool_.waitForDone(kPendingWaitAtEnd)) {
        const QMutexLocker lock(&mutex_);
        stopping_ = true;
        queue_.clear();
        warn(QStringLiteral("Nicht alle Aufnahmen konnten noch ins Manifest eingetragen werden."));
    }
}

void ManifestWriter::recordKept(const QString& docFolder, const QString& name, bool archiving,
                                const QDate& day) {
    enqueue({absolute(docFolder), day, name, archiving, {}});
}

void ManifestWriter::recordRemoved(const QString& docFolder, const QString& path, const QString& reason,
                                   const QDate& day) {
    const QString folder = absolute(docFolder);
    ManifestEntry entry;
    entry.kind = ManifestEntry::Kind::Removed;
    entry.path = QDir(folder).relativeFilePath(absolute(path));
    entry.reason = reason;
    enqueue({folder, day, {}, false, entry});
}

bool ManifestWriter::waitForPending(int milliseconds) {
    return pool_.waitForDone(milliseconds);
}

void ManifestWriter::enqueue(Request request) {
    const QMutexLocker lock(&mutex_);
    queue_.append(std::move(request));
    if (!writing_) {
        writing_ = true;
        pool_.start([this] { writeQueued(); });
    }
}

void ManifestWriter::writeQueued() {
    for (;;) {
        QList<Request> batch;
        {
            const QMutexLocker lock(&mutex_);
            if (queue_.isEmpty() || stopping_) {
                writing_ = false;
                return;
            }
            batch.swap(queue_);
        }
        writeBatch(batch);
    }
}

// Requests of one folder and day go to the appender together, which writes the
// lines of each manifest at once.
void ManifestWriter::writeBatch(const QList<Request>& batch) {
    QList<ManifestEntry> entries;
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const Request& request = batch.at(i);
        if (request.keptName.isEmpty()) {
            entries.append(request.removed);
        } else if (const std::optional<ManifestEntry> kept =
                       keptEntry(request.docFolder, request.keptName, request.archiving)) {
            entries.append(*kept);
        }
        const bool last = i + 1 == batch.size();
        if (last || batch.at(i + 1).docFolder != request.docFolder || batch.at(i + 1).day != request.day) {
            appender_.append(request.docFolder, entries, request.day);
            entries.clear();
        }
    }
}

} // namespace kestrova
