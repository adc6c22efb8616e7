#include "base/integrity/ManifestWriter.h"

#include "base/archive/DatedTree.h"
#include "base/archive/RecordingFolders.h"
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

// A relative folder (line 2 of Kestrova.ini may be "doku") is taken from the working
// folder, as everywhere in the program, and taken so at once: the paths in the
// manifest are then relative to the documentation folder itself.
QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void warn(const QString& text) {
    qWarning().noquote() << text;
}

std::optional<ManifestEntry> entryOfCopy(const QString& docFolder, const QString& copy) {
    const std::optional<FileHash> hash = copy.isEmpty() ? std::nullopt : hashFile(copy);
    if (!hash) {
        return std::nullopt;
    }
    ManifestEntry entry;
    entry.path = QDir(docFolder).relativeFilePath(copy);
    entry.length = hash->length;
    entry.hash = hash->hash;
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
    enqueue({absolute(docFolder), day, name, archiving, {}, {}});
}

void ManifestWriter::recordRemoved(const QString& docFolder, const QStringList& paths, const QString& reason,
                                   const QDate& day) {
    if (!paths.isEmpty()) {
        enqueue({absolute(docFolder), day, {}, false, paths, reason});
    }
}

void ManifestWriter::enterMissing(const QString& docFolder, const QDate& day) {
    Request request{absolute(docFolder), day, {}, false, {}, {}};
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
    QStringList problems;
    qsizetype late = 0;
    QList<ManifestEntry> entries;
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const Request& request = batch.at(i);
        entries.append(entriesOf(request, problems, late));
        const bool last = i + 1 == batch.size();
        if (last || batch.at(i + 1).docFolder != request.docFolder || batch.at(i + 1).day != request.day) {
            appender_.append(request.docFolder, entries, request.day);
            entries.clear();
        }
    }
    problems.append(appender_.takeProblems());
    report(problems, late);
}

QList<ManifestEntry> ManifestWriter::entriesOf(const Request& request, QStringList& problems,
                                               qsizetype& late) {
    if (request.missing) {
        QList<ManifestEntry> entries;
        for (const QString& copy : recordingsWithoutEntry(request.docFolder)) {
            const QString name = QFileInfo(copy).fileName();
            if (const std::optional<ManifestEntry> entry = entryOfCopy(request.docFolder, copy)) {
                entries.append(*entry);
                enteredLate_.insert(name);
                ++late;
            } else {
                problems.append(cannotRead(name));
                warn(problems.constLast());
            }
        }
        return entries;
    }
    if (request.keptName.isEmpty()) {
        return removedEntries(request.docFolder, request.removedPaths, request.removedReason);
    }
    if (enteredLate_.contains(request.keptName)) {
        return {};
    }
    const QString copy = keptCopyPath(request.docFolder, request.keptName, request.archiving);
    if (const std::optional<ManifestEntry> entry = entryOfCopy(request.docFolder, copy)) {
        return {*entry};
    }
    problems.append(cannotRead(request.keptName));
    warn(problems.constLast());
    return {};
}

// One line a batch, however many entries failed: a night's deletions in a folder
// that cannot be written are one trouble, not thirty thousand.
void ManifestWriter::report(const QStringList& problems, qsizetype late) const {
    if (!onReport) {
        return;
    }
    if (!problems.isEmpty()) {
        QString text = problems.constFirst();
        if (problems.size() > 1) {
            text += QStringLiteral(" (und %1 weitere Einträge)").arg(problems.size() - 1);
        }
        onReport(EventPriority::Error,
                 text + QStringLiteral(" Fehlende Aufnahmen werden beim nächsten Start nachgetragen."));
    } else if (late > 0) {
        onReport(EventPriority::Notice,
                 late == 1
                     ? QStringLiteral("1 Aufnahme ohne Eintrag ins Manifest nachgetragen.")
                     : QStringLiteral("%1 Aufnahmen ohne Eintrag ins Manifest nachgetragen.").arg(late));
    }
}

} // namespace kestrova
