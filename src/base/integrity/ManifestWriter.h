#pragma once

#include "base/desktop/EventLog.h"
#include "base/integrity/ManifestAppender.h"
#include "base/integrity/ManifestLine.h"

#include <QDate>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <functional>

namespace kestrova {

// Enters kept and deleted recordings into the manifests. The work runs on a
// thread of its own, so hashing a long recording never holds up the next one;
// one thread also keeps the appends in the order they were asked for. What is
// asked for while it writes waits in a queue and is written in one go, so a
// night's deletions cost one write per manifest, not one each.
class ManifestWriter {
public:
    ManifestWriter();
    // Waits a short while for what is pending; a program end loses no entry of a
    // recording that was kept before it.
    ~ManifestWriter();
    ManifestWriter(const ManifestWriter&) = delete;
    ManifestWriter& operator=(const ManifestWriter&) = delete;

    // A recording was kept under name: the copy in the dated archive is entered when
    // archiving, as retention never deletes it, else (or when that copy is not there)
    // the one in D/w.
    void recordKept(const QString& docFolder, const QString& name, bool archiving, const QDate& day);
    // The program deleted recordings from D/w. A night's deletions come in one call:
    // their paths are made relative on the writing thread, not on the caller's.
    void recordRemoved(const QString& docFolder, const QStringList& paths, const QString& reason,
                       const QDate& day);
    // Enters the recordings that are there but in no manifest (a hash or an append
    // failed before), in order after what is already asked for.
    void enterMissing(const QString& docFolder, const QDate& day);
    // True when nothing is pending any more.
    bool waitForPending(int milliseconds);

    // What went wrong or was entered late, in German, at most once a batch. Called on
    // the writing thread, so it must only pass the line on; set it before the first
    // request.
    std::function<void(EventPriority, const QString&)> onReport;

private:
    struct Request {
        QString docFolder;
        QDate day;
        QString keptName; // kept: hashed on the writing thread
        bool archiving = false;
        QStringList removedPaths;
        QString removedReason;
        bool missing = false; // the recordings without an entry, found on the writing thread
    };

    void enqueue(Request request);
    // Runs on the writing thread until the queue is empty.
    void writeQueued();
    void writeBatch(const QList<Request>& batch);
    // The entries a request asks for; problems collects what could not be hashed.
    QList<ManifestEntry> entriesOf(const Request& request, QStringList& problems, qsizetype& late);
    void report(const QStringList& problems, qsizetype late) const;

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
