#pragma once

#include "integrity/ManifestAppender.h"
#include "integrity/ManifestLine.h"

#include <QDate>
#include <QList>
#include <QMutex>
#include <QString>
#include <QThreadPool>

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
    // The program deleted a recording from D/w.
    void recordRemoved(const QString& docFolder, const QString& path, const QString& reason,
                       const QDate& day);
    // True when nothing is pending any more.
    bool waitForPending(int milliseconds);

private:
    struct Request {
        QString docFolder;
        QDate day;
        QString keptName; // kept: hashed on the writing thread
        bool archiving = false;
        ManifestEntry removed;
    };

    void enqueue(Request request);
    // Runs on the writing thread until the queue is empty.
    void writeQueued();
    void writeBatch(const QList<Request>& batch);

    QMutex mutex_;
    QList<Request> queue_;
    bool writing_ = false;
    bool stopping_ = false;
    ManifestAppender appender_; // used by the writing thread only
    QThreadPool pool_;          // last, so it ends before what it uses
};

} // namespace kestrova
