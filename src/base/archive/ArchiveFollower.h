#pragma once

#include "base/archive/ArchiveReader.h"
#include "base/common/ListedRecordings.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

namespace kestrova {

class Clock;

// Follows one documentation folder through an ArchiveReader, so it only reads: the
// circuit's recordings in the recordings folder with their lengths, and what is filed
// anew there or in the dated tree's day. The system tells of each change (inotify);
// nothing is looked at on a timer but the day, which changes at midnight.
class ArchiveFollower : public QObject {
    Q_OBJECT
public:
    // A burst of filings is read once, this long after its first change.
    static constexpr int kSettleMs = 250;

    ArchiveFollower(ArchiveReader reader, const Clock& clock, QObject* parent = nullptr);

    const ArchiveReader& reader() const { return reader_; }
    // The circuit's recordings in list order, oldest first.
    const ListedRecordings& recordings() const { return list_; }
    // German, why the folder cannot be read now; empty while it can.
    const QString& problem() const { return problem_; }
    QStringList watchedFolders() const { return watcher_.directories(); }

    // Reads the folder now: at the start, and after the changes the system reports.
    void look();

signals:
    // Something was filed, removed or became readable or unreadable.
    void changed();
    // The folder became unreadable (the message) or readable again (empty).
    void problemChanged(const QString& problem);

private:
    void lookSoon();
    void readList();
    void watch();
    void planMidnight();

    const ArchiveReader reader_;
    const Clock& clock_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer midnight_;
    QHash<QString, double> seconds_;
    ListedRecordings list_;
    QString problem_;
};

} // namespace kestrova
