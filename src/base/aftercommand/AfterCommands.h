#pragma once

#include "base/aftercommand/AfterCommandJob.h"
#include "base/aftercommand/AfterCommandRun.h"
#include "base/aftercommand/AfterCommandSettings.h"
#include "base/files/DurableQueue.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace kestrova {

class Clock;
class EventLog;

// How long a failed command waits before its next try: the first wait, doubled
// after each further failure up to the longest; and how long a command past its
// time limit has to end before it is killed.
struct AfterCommandTiming {
    std::chrono::milliseconds firstBackOff{std::chrono::seconds(30)};
    std::chrono::milliseconds longestBackOff{std::chrono::minutes(30)};
    std::chrono::milliseconds grace{std::chrono::seconds(5)};
};

QString afterCommandQueuePath(const QString& programFolder);

// Runs the command of KestrovaNachAufnahme.ini once for each filed recording, until
// it succeeds. Each recording is a job in a queue on the disk from its filing until
// its command has exited with 0, so neither a crash of the program nor an outage of
// the network loses one; a new start takes up what waits. Jobs start in the order of
// the filing, at most `gleichzeitig` at a time; a failed job waits its back-off
// behind the others, which go on. Everything runs on the owner's thread, which
// never waits for a command. Waits run on the steady clock: a step of the wall
// clock neither holds a retry back nor brings it forward.
class AfterCommands : public QObject {
    Q_OBJECT
public:
    AfterCommands(AfterCommandSettings settings, const QString& queuePath, QString workingFolder,
                  EventLog& events, const Clock& clock, AfterCommandTiming timing = {});
    ~AfterCommands() override;
    AfterCommands(const AfterCommands&) = delete;
    AfterCommands& operator=(const AfterCommands&) = delete;

    // Reports what the settings file did not give, takes up what an earlier run left
    // in the queue and starts what is due.
    void start();
    // Queues the recording's job and starts it when a place is free.
    void take(const kestrova::FiledRecording& recording);
    // The program ends: what runs is killed with the program, what waits stays queued.
    void finish();

    qsizetype waiting() const { return static_cast<qsizetype>(jobs_.size()); }
    qsizetype running() const { return static_cast<qsizetype>(runs_.size()); }

private:
    void load();
    void startDue();
    // The recording's file is not there (any more).
    void missing(AfterCommandJob& job);
    void launch(const AfterCommandJob& job);
    void ended(qint64 number, const AfterCommandOutcome& outcome);
    void failed(AfterCommandJob& job, const AfterCommandOutcome& outcome);
    // Takes the job out of the queue: its last record at the front goes, another
    // one is marked done.
    void retire(qint64 number);
    // Takes off the front what no longer stands for a waiting job.
    void dropSettledFront();
    void push(const QByteArray& record);
    void armRetry();
    bool isDue(const AfterCommandJob& job) const;
    // The steady due time of a try the queue file says is due at nextTry.
    std::optional<qint64> steadyDueOf(const QDateTime& nextTry) const;
    std::chrono::milliseconds backOff(int failures) const;

    const AfterCommandSettings settings_;
    const QString workingFolder_;
    EventLog& events_;
    const Clock& clock_;
    const AfterCommandTiming timing_;
    DurableQueue queue_;
    std::map<qint64, AfterCommandJob> jobs_; // by number: in the order of the filing
    std::map<qint64, std::unique_ptr<AfterCommandRun>> runs_;
    QTimer retry_;
    qint64 nextNumber_ = 1;
    bool ending_ = false;
    bool writeTroubleReported_ = false;
};

} // namespace kestrova
