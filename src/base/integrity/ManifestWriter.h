#pragma once

#include "base/desktop/EventLog.h"
#include "base/integrity/ManifestAppender.h"
#include "base/integrity/ManifestLine.h"
#include "base/integrity/RecordingEntry.h"

#include <QDate>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>

namespace kestrova {

// Enters kept and deleted recordings into the manifests. The work runs on a
// thread of its own, so hashing a long recording never holds up the next one;
// one thread also keeps the appends in the order they were asked for. What is
// asked for while it writes waits in a queue and is written in one go, so a
// night's deletions cost one write per manifest, not one each. Its signals come
// from the writing thread: a receiver on another thread has them queued.
class ManifestWriter : public QObject {
    Q_OBJECT
public:
    ManifestWriter();
    // Waits a short while for what is pending; a program end loses no entry of a
    // recording that was kept before it.
    ~ManifestWriter() override;
    ManifestWriter(const ManifestWriter&) = delete;
    ManifestWriter& operator=(const ManifestWriter&) = delete;

    // A recording was kept under name: the copy in the dated archive is entered when
    // archiving, as retention never deletes it, else (or when that copy is not there)
    // the one in D/w. Its entry is reported (recordingEntered) once the batch is written.
    void recordKept(const QString& docFolder, const QString& name, bool archiving, const QDate& day);
    // A recording filed now whose copy a manifest holds already (the start that
    // made it entered it): reported in its turn as recordKept reports, without a line.
    void reportKept(const QString& docFolder, const QString& name, bool archiving);
    // The program deleted recordings from D/w. A night's deletions come in one call:
    // their paths are made relative on the writing thread, not on the caller's.
    void recordRemoved(const QString& docFolder, const QStringList& paths, const QString& reason,
                       const QDate& day);
    // Enters the recordings that are there but in no manifest (a hash or an append
    // failed before), in order after what is already asked for.
    void enterMissing(const QString& docFolder, const QDate& day);
    // True when nothing is pending any more.
    bool waitForPending(int milliseconds);

signals:
    // What went wrong or was entered late, in German, at most once a batch.
    void reported(kestrova::EventPriority priority, const QString& line);
    // Each recording of recordKept and reportKept, in the order they were asked for,
    // once its batch is written: entered, found entered, or not readable (no hash),
    // so that nobody need read the copy again.
    void recordingEntered(const kestrova::RecordingEntry& entry);

private:
    struct Request {
        QString docFolder;
        QDate day;
        QString keptName; // kept: hashed on the writing thread
        bool archiving = false;
        bool enter = true; // false: entered before, only reported
        QStringList removedPaths;
        QString removedReason;
        bool missing = false; // the recordings without an entry, found on the writing thread
    };

    void enqueue(Request request);
    // Runs on the writing thread until the queue is empty.
    void writeQueued();
    // What a batch did besides its lines, told once it is written.
    struct BatchOutcome {
        QStringList problems; // what could not be hashed or appended
        qsizetype late = 0;   // entered by the catch-up
        QList<RecordingEntry> kept;
    };
    void writeBatch(const QList<Request>& batch);
    // The entries a request asks for.
    void appendNonEmpty(const Request& request, QList<ManifestEntry>& entries);
    QList<ManifestEntry> entriesOf(const Request& request, BatchOutcome& outcome);
    void enterMissingInChunks(const Request& request, BatchOutcome& outcome);
    QList<ManifestEntry> keptEntries(const Request& request, BatchOutcome& outcome);
    void report(const BatchOutcome& outcome);

    QMutex mutex_;
    QList<Request> queue_;
    bool writing_ = false;
    bool stopping_ = false;
    ManifestAppender appender_; // used by the writing thread only
    // Names entered late: their own request, still on its way, must not enter them twice.
    QSet<QString> enteredLate_; // used by the writing thread only
    QThreadPool pool_;          // last, so it ends before what it uses
};

} // namespace kestrova
