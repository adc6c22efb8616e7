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
    // Of a longer file only the last byteLimit bytes are read (the newest records);
    // by default room for a full queue, within bounds.
    DurableQueue(QString path, qsizetype capacity, qint64 byteLimit = -1);

    // Takes over what an earlier run left in the file; a line cut off by a crash is
    // dropped. False when a file of that name cannot be read (not a plain file, a
    // link, unreadable): the queue then lives in memory alone and leaves the name
    // untouched, so push() and popFront() do not fail for it.
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
    bool inMemoryOnly() const { return inMemoryOnly_; }

private:
    bool append(const QByteArray& line);
    // Writes what waits as a file of additions alone.
    bool rewrite();
    // Takes the lines of the newest bytes of the file, at most byteLimit_; false
    // when refused. torn tells of a last line without its end.
    bool readTail(bool& torn);
    void takeLine(const QByteArray& line, qsizetype& givenWay);

    QString path_;
    qsizetype capacity_;
    qint64 byteLimit_;
    bool inMemoryOnly_ = false;
    QList<QByteArray> records_;
    qsizetype marks_ = 0;
    qsizetype dropped_ = 0;
};

} // namespace kestrova
