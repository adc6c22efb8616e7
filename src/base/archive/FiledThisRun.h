#pragma once

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>

namespace kestrova {

// The recordings this run filed, each with the clock's offset against the steady
// clock at its filing. A name holds the clock of its filing; when the clock has been
// stepped since (set by a time service after a start without a battery clock), the
// recording was made on the name's moment moved by that step.
class FiledThisRun {
public:
    // A name without a day is passed over: it never ages by its name either.
    void add(const QString& name, qint64 clockOffset);
    // The day each was made by the clock as it stands now, at `clockOffset`.
    QHash<QString, QDate> daysByTheClockNow(qint64 clockOffset) const;
    // Forgets the others, which have left the recordings folder: a run of months
    // remembers what the folder holds of it, no more.
    void keepOnly(const QSet<QString>& names);

private:
    struct Filing {
        qint64 namedMsecs; // the name's moment, a clock reading without a zone
        qint64 clockOffset;
    };
    QHash<QString, Filing> filings_;
};

} // namespace kestrova
