#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kestrova {

// A first-in, first-out queue of records kept in a file, so that what waits to be
// sent survives a crash, a restart or a long outage. A record added is on the disk
// before push() returns; taking the first off appends a mark, and the file is
// written anew only once the marks outnumber what waits, so a busy queue costs one
// short append per change. It is bounded: when full, the oldest record gives way
// (counted in dropped()). One thread uses it at a time.
class DurableQueue {
public:
    DurableQueue(QString path, qsizetype capacity);

    // Takes over what an earlier run left in the file; a line cut off by a crash is
    // dropped. False when a file of that name cannot be read.
    bool load();
    // False when the record could not be put on the disk; it waits in memory then.
    bool push(const QByteArray& record);
    // False when the mark could not be put on the disk (the record would come back
    // after a restart); the record leaves the queue all the same.
    bool popFront();

    bool isEmpty() const { return records_.isEmpty(); }
    qsizetype size() const { return records_.size(); }
    const QByteArray& front() const { return records_.constFirst(); }
    const QList<QByteArray>& records() const { return records_; }
    // How many records gave way to newer ones since the start.
    qsizetype dropped() const { return dropped_; }
    const QString& path() const { return path_; }

private:
    bool append(const QByteArray& line);
    // Writes what waits as a file of additions alone.
    bool rewrite();

    QString path_;
    qsizetype capacity_;
    QList<QByteArray> records_;
    qsizetype marks_ = 0;
    qsizetype dropped_ = 0;
};

} // namespace kestrova
