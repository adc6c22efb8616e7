#include "base/archive/ClockDoubt.h"

#include "base/archive/ManifestNames.h"
#include "base/archive/RecordingName.h"
#include "base/desktop/Clock.h"

#include <QDateTime>
#include <QDir>
#include <QStringList>
#include <cstdlib>

namespace kestrova {

namespace {

constexpr qint64 kDayMsecs = 24LL * 3600 * 1000;
constexpr qint64 kSummerTimeShiftSecs = 3600;

QString shown(const QDateTime& time) {
    return time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

struct Manifest {
    QString name;
    QDate day;
};

// The circuit's manifest of the latest day, "1_2012-08-17.txt" in D/Manifeste.
Manifest newestManifestOf(const QString& docFolder, const QString& circuit) {
    const QStringList names = manifestsOfCircuit(manifestFolder(docFolder), circuit);
    return names.isEmpty() ? Manifest{} : Manifest{names.first(), dayOfManifest(names.first())};
}

} // namespace

ClockDoubt::ClockDoubt(const Clock& clock) : clock_(clock), offsetBeforeStep_(clockOffset()) {}

qint64 ClockDoubt::clockOffset() const {
    return clock_.msecsSinceEpoch() - clock_.steadyMsecs();
}

void ClockDoubt::noteArchive(const QString& docFolder, const QString& circuit,
                             const QString& newestRecording) {
    newestRecording_ = newestRecording;
    const QString manifests = docFolder + QLatin1Char('\n') + circuit;
    if (manifests != manifestsReadFor_) {
        manifestsReadFor_ = manifests;
        const Manifest newest = newestManifestOf(docFolder, circuit);
        newestManifest_ = newest.name;
        newestManifestDay_ = newest.day;
    }
}

QString ClockDoubt::reasons() {
    const std::optional<bool> synchronised = clock_.isSynchronised();
    QStringList reasons;
    if (synchronised == false) {
        reasons << QStringLiteral("Die Systemuhr ist noch nicht mit einer Zeitquelle abgeglichen.");
    }
    for (const QString& reason : {stepReason(synchronised), behindArchiveReason(synchronised)}) {
        if (!reason.isEmpty()) {
            reasons << reason;
        }
    }
    return reasons.join(QLatin1Char(' '));
}

// The steady clock stands still while the machine sleeps, so a sleep of more than a
// day counts as a step too: holding the deletions a little longer then costs nothing.
QString ClockDoubt::stepReason(std::optional<bool> synchronised) {
    const qint64 offset = clockOffset();
    const qint64 steady = clock_.steadyMsecs();
    const qint64 step = offset - offsetBeforeStep_;
    if (std::abs(step) > kDayMsecs) {
        const QDateTime now = clock_.now();
        stepSeenAt_ = steady;
        stepText_ = QStringLiteral("Die Uhr ist um mehr als einen Tag gesprungen, von %1 auf %2; gelöscht "
                                   "wird wieder, wenn die Systemuhr abgeglichen ist oder einen Tag lang "
                                   "nicht mehr springt.")
                        .arg(shown(now.addMSecs(-step)), shown(now));
        offsetBeforeStep_ = offset;
    }
    // A time service that has set the clock made the step itself, mending a start
    // without a battery clock: trusted at once. Where nothing says so, a day without
    // another step gives whoever watches the status time to put a wrong clock right,
    // at the cost of one night's deletions.
    if (stepSeenAt_ && (synchronised == true || steady - *stepSeenAt_ >= kDayMsecs)) {
        stepSeenAt_.reset();
        stepText_.clear();
    }
    return stepText_;
}

QString ClockDoubt::behindArchiveReason(std::optional<bool> synchronised) const {
    // Once a time service has set the clock, a name ahead of it was made by a wrong
    // clock before, and would hold the deletions until its day came round.
    if (synchronised == true) {
        return {};
    }
    const QDateTime now = clock_.now();
    QStringList reasons;
    // Names hold clock readings without a zone. In autumn the clock shows an hour
    // again, which is no doubt: an hour behind a name is taken as the clock's due.
    const std::optional<QDateTime> newest = recordingMoment(newestRecording_);
    if (newest && QDateTime(now.date(), now.time(), Qt::UTC).addSecs(kSummerTimeShiftSecs) < *newest) {
        reasons << QStringLiteral("Die Uhr zeigt eine frühere Zeit als die neueste Aufnahme %1.")
                       .arg(newestRecording_);
    }
    if (newestManifestDay_.isValid() && now.date() < newestManifestDay_) {
        reasons << QStringLiteral("Die Uhr zeigt einen früheren Tag als das neueste Manifest %1.")
                       .arg(newestManifest_);
    }
    return reasons.join(QLatin1Char(' '));
}

} // namespace kestrova
