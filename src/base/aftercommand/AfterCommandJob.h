#pragma once

#include "base/relay/FiledRecording.h"

#include <QByteArray>
#include <QDateTime>
#include <optional>

namespace kestrova {

// A recording whose command has not yet succeeded, as its queue keeps it. Each
// change of a job is a new record of the same number behind the others, since
// the queue only adds at the back; the last record of a number is its state.
struct AfterCommandJob {
    qint64 number = 0; // in the order of the filing
    FiledRecording recording;
    int failures = 0;
    QDateTime nextTry; // UTC, kept for the next start; invalid: at once
    // When the next try is due on this process's steady clock, which a step of the
    // wall clock does not move; never written. None: at once.
    std::optional<qint64> dueSteadyMs;

    QByteArray toRecord() const;
};

// The record that the job of this number is done.
QByteArray doneRecord(qint64 number);

// One record of the queue read back: a job's state, or that the job is done.
struct AfterCommandRecord {
    qint64 number = 0;
    std::optional<AfterCommandJob> job; // none: done
};
// nullopt for a record this program did not write.
std::optional<AfterCommandRecord> readAfterCommandRecord(const QByteArray& record);

} // namespace kestrova
