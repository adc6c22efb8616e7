#include "base/aftercommand/AfterCommands.h"

#include "base/aftercommand/AfterCommandMessages.h"
#include "base/common/TimerWait.h"
#include "base/desktop/Clock.h"
#include "base/desktop/EventLog.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace kestrova {

namespace {
// Far more than a week's outage of an hour's recordings at a busy circuit.
constexpr qsizetype kQueueCapacity = 20000;
} // namespace

QString afterCommandQueuePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaNachAufnahme.warteschlange"));
}

AfterCommands::AfterCommands(AfterCommandSettings settings, const QString& queuePath, QString workingFolder,
                             EventLog& events, const Clock& clock, AfterCommandTiming timing)
    : settings_(std::move(settings)), workingFolder_(std::move(workingFolder)), events_(events),
      clock_(clock), timing_(timing), queue_(queuePath, kQueueCapacity) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &AfterCommands::startDue);
}

AfterCommands::~AfterCommands() = default;

void AfterCommands::start() {
    for (const QString& problem : settings_.problems) {
        events_.record(EventPriority::Warning, problem);
    }
    if (!settings_.isOn()) {
        return;
    }
    load();
    startDue();
}

void AfterCommands::load() {
    if (!queue_.load()) {
        events_.record(
            EventPriority::Error,
            QStringLiteral("Die Warteschlange [%1] der Befehle nach der Aufnahme ist nicht lesbar; "
                           "neue Einträge warten nur im Speicher.")
                .arg(QDir::toNativeSeparators(queue_.path())));
    }
    for (const QByteArray& record : queue_.records()) {
        const std::optional<AfterCommandRecord> read = readAfterCommandRecord(record);
        if (!read) {
            continue;
        }
        nextNumber_ = std::max(nextNumber_, read->number + 1);
        if (read->job) {
            AfterCommandJob& job = jobs_[read->number];
            job = *read->job;
            job.dueSteadyMs = steadyDueOf(job.nextTry);
        } else {
            jobs_.erase(read->number);
        }
    }
    dropSettledFront();
    if (!jobs_.empty()) {
        const QString line =
            jobs_.size() == 1
                ? QStringLiteral("1 Befehl nach der Aufnahme wartet noch und wird ausgeführt.")
                : QStringLiteral("%1 Befehle nach der Aufnahme warten noch und werden ausgeführt.")
                      .arg(jobs_.size());
        events_.record(EventPriority::Info, line);
    }
}

void AfterCommands::take(const FiledRecording& recording) {
    if (!settings_.isOn()) {
        return;
    }
    AfterCommandJob job;
    job.number = nextNumber_++;
    job.recording = recording;
    push(job.toRecord());
    jobs_.emplace(job.number, job);
    startDue();
}

void AfterCommands::finish() {
    ending_ = true;
    retry_.stop();
}

void AfterCommands::startDue() {
    if (ending_) {
        return;
    }
    for (auto entry = jobs_.begin(); entry != jobs_.end() && running() < settings_.atOnce;) {
        const AfterCommandJob& job = entry->second;
        ++entry;
        if (runs_.count(job.number) != 0 || !isDue(job)) {
            continue;
        }
        if (!QFileInfo::exists(job.recording.path)) {
            missing(jobs_.at(job.number));
            continue;
        }
        launch(job);
    }
    armRetry();
}

void AfterCommands::missing(AfterCommandJob& job) {
    const QString folder = QFileInfo(job.recording.path).absolutePath();
    if (QFileInfo::exists(folder)) {
        // Deleted by the archive's retention before its turn came.
        events_.record(EventPriority::Notice, afterCommandGoneLine(job));
        retire(job.number);
        return;
    }
    // A disk that is not there now (a USB disk) may come back: the job waits for it.
    AfterCommandOutcome outcome;
    outcome.kind = AfterCommandOutcome::Kind::NotStarted;
    outcome.startError =
        QStringLiteral("der Ordner [%1] ist nicht erreichbar").arg(QDir::toNativeSeparators(folder));
    failed(job, outcome);
}

void AfterCommands::launch(const AfterCommandJob& job) {
    const qint64 number = job.number;
    auto run = std::make_unique<AfterCommandRun>(settings_.command, workingFolder_,
                                                 afterCommandEnvironment(job.recording),
                                                 AfterCommandRun::Limits{settings_.timeLimit, timing_.grace});
    connect(run.get(), &AfterCommandRun::ended, this,
            [this, number](const AfterCommandOutcome& outcome) { ended(number, outcome); });
    AfterCommandRun& started = *run;
    runs_.emplace(number, std::move(run));
    started.start();
}

void AfterCommands::ended(qint64 number, const AfterCommandOutcome& outcome) {
    const auto run = runs_.find(number);
    if (run == runs_.end()) {
        return;
    }
    // It is still inside its own signal; as a child it goes with this object at the latest.
    AfterCommandRun* const done = run->second.release();
    done->setParent(this);
    done->deleteLater();
    runs_.erase(run);
    const auto entry = jobs_.find(number);
    if (entry != jobs_.end()) {
        if (outcome.kind == AfterCommandOutcome::Kind::Succeeded) {
            if (entry->second.failures > 0) {
                events_.record(EventPriority::Notice, afterCommandSuccessAfterFailuresLine(entry->second));
            }
            retire(number);
        } else {
            failed(entry->second, outcome);
        }
    }
    // Not from inside the run's signal: the next run may end at once too.
    retry_.start(0);
}

void AfterCommands::failed(AfterCommandJob& job, const AfterCommandOutcome& outcome) {
    ++job.failures;
    const std::chrono::milliseconds wait = backOff(job.failures);
    job.dueSteadyMs = clock_.steadyMsecs() + wait.count();
    job.nextTry = clock_.now().toUTC().addMSecs(wait.count());
    push(job.toRecord());
    dropSettledFront();
    events_.record(EventPriority::Warning,
                   afterCommandFailureLine(job, outcome, settings_.timeLimit, wait, job.nextTry));
}

void AfterCommands::retire(qint64 number) {
    const std::optional<AfterCommandRecord> front =
        queue_.isEmpty() ? std::nullopt : readAfterCommandRecord(queue_.front());
    const bool lastRecordInFront =
        front && front->number == number && front->job && front->job->failures == jobs_.at(number).failures;
    jobs_.erase(number);
    if (!lastRecordInFront) {
        push(doneRecord(number));
    }
    dropSettledFront();
}

void AfterCommands::dropSettledFront() {
    while (!queue_.isEmpty()) {
        const std::optional<AfterCommandRecord> front = readAfterCommandRecord(queue_.front());
        if (front && front->job) {
            const auto job = jobs_.find(front->number);
            if (job != jobs_.end() && job->second.failures == front->job->failures) {
                return;
            }
        }
        queue_.popFront();
    }
}

void AfterCommands::push(const QByteArray& record) {
    const qsizetype droppedBefore = queue_.dropped();
    // Said once until a write succeeds again, so a full disk does not flood the log.
    const bool written = queue_.push(record);
    if (!written && !writeTroubleReported_) {
        events_.record(EventPriority::Error,
                       QStringLiteral("Die Warteschlange [%1] der Befehle nach der Aufnahme ist nicht "
                                      "beschreibbar; neue Einträge warten nur im Speicher.")
                           .arg(QDir::toNativeSeparators(queue_.path())));
    }
    writeTroubleReported_ = !written;
    if (queue_.dropped() > droppedBefore) {
        events_.record(EventPriority::Warning,
                       QStringLiteral("Die Warteschlange der Befehle nach der Aufnahme ist voll: der älteste "
                                      "Eintrag wurde verworfen."));
    }
}

void AfterCommands::armRetry() {
    // With every place taken, the end of a run looks again.
    if (ending_ || running() >= settings_.atOnce) {
        retry_.stop();
        return;
    }
    std::optional<qint64> earliest;
    for (const auto& [number, job] : jobs_) {
        if (runs_.count(number) == 0 && job.dueSteadyMs && (!earliest || *job.dueSteadyMs < *earliest)) {
            earliest = job.dueSteadyMs;
        }
    }
    if (!earliest) {
        retry_.stop();
        return;
    }
    startTimerAfter(retry_, std::chrono::milliseconds(*earliest - clock_.steadyMsecs()));
}

bool AfterCommands::isDue(const AfterCommandJob& job) const {
    return !job.dueSteadyMs || *job.dueSteadyMs <= clock_.steadyMsecs();
}

// A time in the past is due now. So is one further ahead than the longest back-off:
// no back-off set it from this clock's reading, so the clock was set back since (or
// was ahead when it was written), and waiting for it could take years.
std::optional<qint64> AfterCommands::steadyDueOf(const QDateTime& nextTry) const {
    if (!nextTry.isValid()) {
        return std::nullopt;
    }
    const qint64 ahead = clock_.now().msecsTo(nextTry);
    if (ahead <= 0 || ahead > timing_.longestBackOff.count()) {
        return std::nullopt;
    }
    return clock_.steadyMsecs() + ahead;
}

std::chrono::milliseconds AfterCommands::backOff(int failures) const {
    std::chrono::milliseconds wait = timing_.firstBackOff;
    for (int doubling = 1; doubling < failures && wait < timing_.longestBackOff; ++doubling) {
        wait *= 2;
    }
    return std::min(wait, timing_.longestBackOff);
}

} // namespace kestrova
