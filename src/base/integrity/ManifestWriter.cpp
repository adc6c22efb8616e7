#include "base/integrity/ManifestWriter.h"

#include "base/archive/DatedTree.h"
#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingLength.h"
#include "base/integrity/FileHash.h"
#include "base/integrity/MissingEntries.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace kestrova {

namespace {

// Long enough to hash an hour of recording on a small machine.
constexpr int kPendingWaitAtEnd = 5000;
constexpr qsizetype kMissingEnteredAtOnce = 1000;

// A relative folder (line 2 of Kestrova.ini may be "doku") is taken from the working
// folder, as everywhere in the program, and taken so at once: the paths in the
// manifest are then relative to the documentation folder itself.
QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void warn(const QString& text) {
    qWarning().noquote() << text;
}

// A copy read once for its entry and for those told of it; no hash when it could
// not be read.
RecordingEntry readCopy(const QString& name, const QString& copy) {
    RecordingEntry read{.name = name, .path = copy, .size = 0, .sha256 = {}, .seconds = 0};
    const std::optional<FileHash> hash =
        copy.isEmpty() ? std::nullopt : hashFile(copy, kRecordingHeaderBytes);
    if (hash) {
        read.size = hash->length;
        read.sha256 = hash->hash;
        read.seconds = recordingLengthOf(hash->head.constData(), hash->head.size());
    }
    return read;
}

ManifestEntry manifestEntryOf(const QString& docFolder, const RecordingEntry& read) {
    ManifestEntry entry;
    entry.path = QDir(docFolder).relativeFilePath(read.path);
    entry.length = read.size;
    entry.hash = read.sha256;
    return entry;
}

QString cannotRead(const QString& name) {
    return QStringLiteral("Die Aufnahme %1 kann für das Manifest nicht gelesen werden.").arg(name);
}

QList<ManifestEntry> removedEntries(const QString& docFolder, const QStringList& paths,
                                    const QString& reason) {
    const QDir folder(docFolder);
    QList<ManifestEntry> entries;
    entries.reserve(paths.size());
    for (const QString& path : paths) {
        ManifestEntry& entry = entries.emplaceBack();
        entry.kind = ManifestEntry::Kind::Removed;
        entry.path = folder.relativeFilePath(absolute(path));
        entry.reason = reason;
    }
    return entries;
}

} // namespace

ManifestWriter::ManifestWriter() {
    qRegisterMetaType<RecordingEntry>();
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
    enqueue({absolute(docFolder), day, name, archiving, true, {}, {}});
}

void ManifestWriter::reportKept(const QString& docFolder, const QString& name, bool archiving) {
    enqueue({absolute(docFolder), {}, name, archiving, false, {}, {}});
}

void ManifestWriter::recordRemoved(const QString& docFolder, const QStringList& paths, const QString& reason,
                                   const QDate& day) {
    if (!paths.isEmpty()) {
        enqueue({absolute(docFolder), day, {}, false, true, paths, reason});
    }
}

void ManifestWriter::enterMissing(const QString& docFolder, const QDate& day) {
    Request request{absolute(docFolder), day, {}, false, true, {}, {}};
    request.missing = true;
    enqueue(std::move(request));
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
    BatchOutcome outcome;
    QList<ManifestEntry> entries;
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const Request& request = batch.at(i);
        if (request.missing) {
            // What came before it goes first, so the lines keep the requests' order.
            appendNonEmpty(request, entries);
            enterMissingInChunks(request, outcome);
        } else {
            entries.append(entriesOf(request, outcome));
        }
        const bool last = i + 1 == batch.size();
        if (last || batch.at(i + 1).docFolder != request.docFolder || batch.at(i + 1).day != request.day) {
            appendNonEmpty(request, entries);
        }
    }
    outcome.problems.append(appender_.takeProblems());
    report(outcome);
}

void ManifestWriter::appendNonEmpty(const Request& request, QList<ManifestEntry>& entries) {
    if (!entries.isEmpty()) {
        appender_.append(request.docFolder, entries, request.day);
        entries.clear();
    }
}

QList<ManifestEntry> ManifestWriter::entriesOf(const Request& request, BatchOutcome& outcome) {
    if (request.keptName.isEmpty()) {
        return removedEntries(request.docFolder, request.removedPaths, request.removedReason);
    }
    return keptEntries(request, outcome);
}

// A first start on a folder of a hundred thousand recordings enters them all: a
// thousand at a time, so their hashes and lines are never held together.
void ManifestWriter::enterMissingInChunks(const Request& request, BatchOutcome& outcome) {
    QList<ManifestEntry> entries;
    for (const QString& copy : recordingsWithoutEntry(request.docFolder)) {
        const QString name = QFileInfo(copy).fileName();
        const RecordingEntry read = readCopy(name, copy);
        if (read.sha256.isEmpty()) {
            outcome.problems.append(cannotRead(name));
            warn(outcome.problems.constLast());
            continue;
        }
        entries.append(manifestEntryOf(request.docFolder, read));
        enteredLate_.insert(name);
        ++outcome.late;
        if (entries.size() == kMissingEnteredAtOnce) {
            appendNonEmpty(request, entries);
        }
    }
    appendNonEmpty(request, entries);
}

QList<ManifestEntry> ManifestWriter::keptEntries(const Request& request, BatchOutcome& outcome) {
    const QString copy = keptCopyPath(request.docFolder, request.keptName, request.archiving);
    const RecordingEntry read = readCopy(request.keptName, copy);
    outcome.kept.append(read);
    // Entered already, by an earlier start or this one's catch-up: read only to be
    // told (the catch-up keeps no more than the names).
    if (!request.enter || enteredLate_.contains(request.keptName)) {
        return {};
    }
    if (read.sha256.isEmpty()) {
        outcome.problems.append(cannotRead(request.keptName));
        warn(outcome.problems.constLast());
        return {};
    }
    return {manifestEntryOf(request.docFolder, read)};
}

// One line a batch, however many entries failed: a night's deletions in a folder
// that cannot be written are one trouble, not thirty thousand.
void ManifestWriter::report(const BatchOutcome& outcome) {
    const QStringList& problems = outcome.problems;
    if (!problems.isEmpty()) {
        QString text = problems.constFirst();
        if (problems.size() > 1) {
            text += QStringLiteral(" (und %1 weitere Einträge)").arg(problems.size() - 1);
        }
        emit reported(EventPriority::Error,
                      text + QStringLiteral(" Fehlende Aufnahmen werden beim nächsten Start nachgetragen."));
    } else if (outcome.late > 0) {
        emit reported(
            EventPriority::Notice,
            outcome.late == 1
                ? QStringLiteral("1 Aufnahme ohne Eintrag ins Manifest nachgetragen.")
                : QStringLiteral("%1 Aufnahmen ohne Eintrag ins Manifest nachgetragen.").arg(outcome.late));
    }
    for (const RecordingEntry& entry : outcome.kept) {
        emit recordingEntered(entry);
    }
}

} // namespace kestrova
