#pragma once

#include "base/relay/FiledRecording.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTimer>
#include <chrono>

namespace kestrova {

// How one run of the command ended.
struct AfterCommandOutcome {
    enum class Kind { Succeeded, Failed, Crashed, TimedOut, NotStarted };
    Kind kind = Kind::Succeeded;
    int exitCode = 0;
    QString startError;   // NotStarted: why, in Qt's words
    QByteArray errorTail; // the end of its standard error
    QByteArray outputTail;
};

// The facts of the recording as the command sees them: in its environment only,
// never in the command's text, so no name can change what the shell runs.
QProcessEnvironment afterCommandEnvironment(const FiledRecording& recording);

// One run of the command through the shell, never waited for: the process reports
// its end through the event loop. It leads a process group, so the time limit ends
// whatever it started: first asked to end, then killed after the grace.
class AfterCommandRun : public QObject {
    Q_OBJECT
public:
    struct Limits {
        std::chrono::milliseconds time;
        std::chrono::milliseconds grace;
    };

    // The command's facts come in its environment alone.
    AfterCommandRun(const QString& command, const QString& workingFolder,
                    const QProcessEnvironment& environment, Limits limits);
    // A run still going is killed with all it started: the end of the program does not wait.
    ~AfterCommandRun() override;
    AfterCommandRun(const AfterCommandRun&) = delete;
    AfterCommandRun& operator=(const AfterCommandRun&) = delete;

    void start();

signals:
    void ended(const kestrova::AfterCommandOutcome& outcome);

private:
    void readOutput();
    void exceedTimeLimit();
    void killGroup();
    void exited(int exitCode, QProcess::ExitStatus status);
    void failedToStart(QProcess::ProcessError error);
    void end(AfterCommandOutcome outcome);

    QProcess process_;
    QTimer timeLimit_;
    QTimer grace_;
    qint64 leader_ = 0;
    bool timedOut_ = false;
    bool ended_ = false;
    QByteArray errorTail_;
    QByteArray outputTail_;
};

} // namespace kestrova
