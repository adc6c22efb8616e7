#pragma once

#include "common/ListedRecordings.h"

#include <QMutex>
#include <QString>
#include <QStringList>

namespace kestrova {

// What the recorder shows on its window, as plain values others may read: the
// web page follows it without touching a form.
struct LiveStatus {
    bool recorderOn = false;
    bool recording = false; // a transmission is being recorded
    bool paused = false;    // ... and the capture waits over a short silence
    int level = 0;          // the level bar, 0 to 100
    QString recordingName;  // of the running recording
    QString docFolder;      // the documentation folder, holding W and the dated archive
    ListedRecordings recordings;
    // Grows whenever the list changes, so a reader sends it only then.
    quint64 listRevision = 0;
    bool operator==(const LiveStatus&) const = default;
};

// The latest status, written by the program's thread and read by others.
class LiveStatusBoard {
public:
    void publish(const LiveStatus& status) {
        const QMutexLocker lock(&mutex_);
        status_ = status;
    }
    LiveStatus read() const {
        const QMutexLocker lock(&mutex_);
        return status_;
    }

private:
    mutable QMutex mutex_;
    LiveStatus status_;
};

} // namespace kestrova
