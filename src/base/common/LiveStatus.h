#pragma once

#include "base/common/CircuitLive.h"
#include "base/common/ListedRecordings.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

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
    // Which circuit this is: several on one machine differ by their pages only by them.
    QString circuitName;
    long long circuitNumber = 0;
    // The German texts of the alarms standing, for the page's banner.
    QStringList alarms;
    ListedRecordings recordings;
    // Grows whenever the list changes, so a reader sends it only then.
    quint64 listRevision = 0;
    // A control room's page over several circuits: theirs instead of the fields above.
    std::vector<CircuitLive> circuits;
    bool operator==(const LiveStatus&) const = default;
};

// The latest status, written by the program's thread and read by others. One
// listener is told of each new status, on the writer's thread: it must only post.
class LiveStatusBoard {
public:
    void publish(const LiveStatus& status) {
        const QMutexLocker lock(&mutex_);
        status_ = status;
        if (listener_) {
            listener_();
        }
    }
    LiveStatus read() const {
        const QMutexLocker lock(&mutex_);
        return status_;
    }
    // Empty to stop listening; once it returns, the old listener is not called again.
    void setListener(std::function<void()> listener) {
        const QMutexLocker lock(&mutex_);
        listener_ = std::move(listener);
    }

private:
    mutable QMutex mutex_;
    LiveStatus status_;
    std::function<void()> listener_;
};

} // namespace kestrova
