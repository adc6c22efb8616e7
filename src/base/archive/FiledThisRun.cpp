#include "base/archive/FiledThisRun.h"

#include "base/archive/RecordingName.h"
#include "base/archive/RecordingRules.h"

#include <QDateTime>
#include <optional>

namespace kestrova {

void FiledThisRun::add(const QString& name, qint64 clockOffset) {
    const std::optional<QDate> day = dayOfName(name);
    if (!day) {
        return;
    }
    const QDateTime named = recordingMoment(name).value_or(QDateTime(*day, QTime(0, 0), Qt::UTC));
    filings_.insert(name, {named.toMSecsSinceEpoch(), clockOffset});
}

QHash<QString, QDate> FiledThisRun::daysByTheClockNow(qint64 clockOffset) const {
    QHash<QString, QDate> days;
    days.reserve(filings_.size());
    for (auto filed = filings_.cbegin(); filed != filings_.cend(); ++filed) {
        // Zone-less arithmetic: a change of summer time is no step of the clock.
        const qint64 made = filed->namedMsecs + (clockOffset - filed->clockOffset);
        days.insert(filed.key(), QDateTime::fromMSecsSinceEpoch(made, Qt::UTC).date());
    }
    return days;
}

void FiledThisRun::keepOnly(const QSet<QString>& names) {
    filings_.removeIf(
        [&names](QHash<QString, Filing>::iterator filed) { return !names.contains(filed.key()); });
}

} // namespace kestrova
