#include "base/archive/ArchiveFollower.h"

#include "base/archive/RecordingName.h"
#include "base/common/TimerWait.h"
#include "base/desktop/Clock.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace kestrova {

ArchiveFollower::ArchiveFollower(ArchiveReader reader, const Clock& clock, QObject* parent)
    : QObject(parent), reader_(std::move(reader)), clock_(clock), watcher_(this), settle_(this),
      midnight_(this) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    midnight_.setSingleShot(true);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ArchiveFollower::lookSoon);
    connect(&settle_, &QTimer::timeout, this, &ArchiveFollower::look);
    connect(&midnight_, &QTimer::timeout, this, &ArchiveFollower::look);
}

void ArchiveFollower::lookSoon() {
    if (!settle_.isActive()) {
        settle_.start();
    }
}

void ArchiveFollower::look() {
    const QString problem = reader_.problem();
    readList();
    watch();
    planMidnight();
    if (problem != std::exchange(problem_, problem)) {
        emit problemChanged(problem_);
    }
    emit changed();
}

// Only the names new since the last look are read; one read as 0 seconds may have
// been caught while it was copied, and is read again.
void ArchiveFollower::readList() {
    const QStringList names = reader_.recordingNames();
    QHash<QString, double> seconds;
    seconds.reserve(names.size());
    std::vector<std::pair<qint64, QString>> ordered;
    ordered.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        const double known = seconds_.value(name, 0.0);
        seconds.insert(name, known > 0 ? known : reader_.recordingSeconds(name));
        ordered.emplace_back(recordingMomentKey(name).value_or(0), name);
    }
    std::sort(ordered.begin(), ordered.end());
    ListedRecordings list;
    for (const auto& [key, name] : ordered) {
        list.append({name, seconds.value(name)});
    }
    seconds_ = std::move(seconds);
    list_ = std::move(list);
}

void ArchiveFollower::watch() {
    const QStringList wanted = reader_.foldersToWatch(clock_.now().date());
    QStringList gone;
    for (const QString& folder : watcher_.directories()) {
        if (!wanted.contains(folder)) {
            gone.append(folder);
        }
    }
    if (!gone.isEmpty()) {
        watcher_.removePaths(gone);
    }
    QStringList added;
    for (const QString& folder : wanted) {
        if (!watcher_.directories().contains(folder)) {
            added.append(folder);
        }
    }
    if (!added.isEmpty()) {
        watcher_.addPaths(added);
    }
}

// The new day's folders are watched from a second after midnight.
void ArchiveFollower::planMidnight() {
    const QDateTime now = clock_.now();
    const QDateTime next(now.date().addDays(1), QTime(0, 0, 1));
    startTimerAfter(midnight_, std::chrono::milliseconds(std::max<qint64>(now.msecsTo(next), 0)));
}

} // namespace kestrova
