#pragma once

#include "base/aftercommand/AfterCommandJob.h"
#include "base/aftercommand/AfterCommandRun.h"

#include <QDateTime>
#include <QString>
#include <chrono>

namespace kestrova {

// The event log's German lines about the command after a recording, one line each.

// A run that failed: which recording, how (exit code, crash, time limit, no start),
// the end of what it printed, and when the next try comes.
QString afterCommandFailureLine(const AfterCommandJob& job, const AfterCommandOutcome& outcome,
                                std::chrono::milliseconds timeLimit, std::chrono::milliseconds wait,
                                const QDateTime& nextTry);
// How a run failed and the end of what it printed: "Exitcode 2, Fehlerausgabe: „…“".
QString afterCommandOutcomeText(const AfterCommandOutcome& outcome, std::chrono::milliseconds timeLimit);
QString afterCommandSuccessAfterFailuresLine(const AfterCommandJob& job);
QString afterCommandGoneLine(const AfterCommandJob& job);

} // namespace kestrova
