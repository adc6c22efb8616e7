#include "base/aftercommand/AfterCommandRun.h"

#include "base/archive/RecordingName.h"
#include "base/desktop/ProcessGroup.h"

#include <utility>

namespace kestrova {

namespace {

// Enough of the end of what the command printed for one line of the event log.
constexpr qsizetype kTailBytes = 500;

void keepTail(QByteArray& tail, const QByteArray& more) {
    tail += more;
    if (tail.size() > kTailBytes) {
        tail.remove(0, tail.size() - kTailBytes);
    }
}

} // namespace

QProcessEnvironment afterCommandEnvironment(const FiledRecording& recording) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTROVA_DATEI"), recording.path);
    environment.insert(QStringLiteral("KESTROVA_NAME"), recording.name);
    environment.insert(QStringLiteral("KESTROVA_PFAD"), recording.relativePath);
    // The moment it began, with the offset that tells the repeated autumn hour's two passes apart.
    environment.insert(QStringLiteral("KESTROVA_START"), recording.startText());
    environment.insert(QStringLiteral("KESTROVA_SEKUNDEN"), QString::number(recording.seconds));
    environment.insert(QStringLiteral("KESTROVA_SHA256"), recording.sha256);
    environment.insert(QStringLiteral("KESTROVA_ADRESSE"), recording.downloadAddress);
    environment.insert(QStringLiteral("KESTROVA_KREIS"), recordingCircuit(recording.name));
    return environment;
}

AfterCommandRun::AfterCommandRun(const QString& command, const QString& workingFolder,
                                 const QProcessEnvironment& environment, Limits limits) {
    process_.setProgram(QStringLiteral("/bin/sh"));
    process_.setArguments({QStringLiteral("-c"), command});
    process_.setWorkingDirectory(workingFolder);
    process_.setProcessEnvironment(environment);
    process_.setStandardInputFile(QProcess::nullDevice());
    startsOwnProcessGroup(process_);
    // A command gets all of its time and its grace: a coarse timer may fire up to a
    // twentieth early.
    timeLimit_.setSingleShot(true);
    timeLimit_.setTimerType(Qt::PreciseTimer);
    timeLimit_.setInterval(limits.time);
    grace_.setSingleShot(true);
    grace_.setTimerType(Qt::PreciseTimer);
    grace_.setInterval(limits.grace);
    connect(&process_, &QProcess::readyReadStandardError, this, &AfterCommandRun::readOutput);
    connect(&process_, &QProcess::readyReadStandardOutput, this, &AfterCommandRun::readOutput);
    connect(&process_, &QProcess::finished, this, &AfterCommandRun::exited);
    connect(&process_, &QProcess::errorOccurred, this, &AfterCommandRun::failedToStart);
    connect(&timeLimit_, &QTimer::timeout, this, &AfterCommandRun::exceedTimeLimit);
    connect(&grace_, &QTimer::timeout, this, &AfterCommandRun::killGroup);
}

AfterCommandRun::~AfterCommandRun() {
    process_.disconnect(this);
    if (process_.state() != QProcess::NotRunning) {
        killGroup();
        // Killed, it ends at once; reaped here, it leaves no zombie and no warning.
        process_.waitForFinished(1000);
    }
}

void AfterCommandRun::start() {
    process_.start();
    leader_ = process_.processId();
    timeLimit_.start();
}

void AfterCommandRun::readOutput() {
    keepTail(errorTail_, process_.readAllStandardError());
    keepTail(outputTail_, process_.readAllStandardOutput());
}

void AfterCommandRun::exceedTimeLimit() {
    timedOut_ = true;
    signalProcessGroup(leader_, GroupSignal::Terminate);
    process_.terminate();
    grace_.start();
}

void AfterCommandRun::killGroup() {
    signalProcessGroup(leader_, GroupSignal::Kill);
    process_.kill();
}

void AfterCommandRun::exited(int exitCode, QProcess::ExitStatus status) {
    readOutput();
    AfterCommandOutcome outcome;
    outcome.exitCode = exitCode;
    if (timedOut_) {
        outcome.kind = AfterCommandOutcome::Kind::TimedOut;
        // What the shell started may have outlived it; the group goes with it.
        signalProcessGroup(leader_, GroupSignal::Kill);
    } else if (status == QProcess::CrashExit) {
        outcome.kind = AfterCommandOutcome::Kind::Crashed;
    } else if (exitCode != 0) {
        outcome.kind = AfterCommandOutcome::Kind::Failed;
    }
    end(std::move(outcome));
}

void AfterCommandRun::failedToStart(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) {
        return;
    }
    AfterCommandOutcome outcome;
    outcome.kind = AfterCommandOutcome::Kind::NotStarted;
    outcome.startError = process_.errorString();
    end(std::move(outcome));
}

void AfterCommandRun::end(AfterCommandOutcome outcome) {
    if (ended_) {
        return;
    }
    ended_ = true;
    timeLimit_.stop();
    grace_.stop();
    outcome.errorTail = errorTail_;
    outcome.outputTail = outputTail_;
    emit ended(outcome);
}

} // namespace kestrova
