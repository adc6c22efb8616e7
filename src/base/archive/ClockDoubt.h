#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace kestrova {

class Clock;

// Whether the clock may be trusted to age recordings by their names. It is doubted
// while the system says it has not yet set its clock, after a step of more than a
// day against the steady clock, and while it shows a time before what the archive
// held from before this run: the newest recording's name, the newest manifest's day.
class ClockDoubt {
public:
    explicit ClockDoubt(const Clock& clock);

    // How far the clock is ahead of the steady clock, in milliseconds: a step of the
    // clock changes it, the passing of time does not.
    qint64 clockOffset() const;
    // What the archive holds: the name of the circuit's newest recording that this
    // run did not file (empty when none). The newest manifest is read once for each
    // folder and circuit, as the later ones are this run's.
    void noteArchive(const QString& docFolder, const QString& circuit, const QString& newestRecording);
    // Why the clock is doubted now, in sentences; empty while it may be trusted.
    QString reasons();

private:
    // Each with what the system says of its clock, asked once for all of them.
    QString stepReason(std::optional<bool> synchronised);
    QString behindArchiveReason(std::optional<bool> synchronised) const;

    const Clock& clock_;
    qint64 offsetBeforeStep_;
    // The steady clock's reading when the last step was seen, while it is doubted.
    std::optional<qint64> stepSeenAt_;
    QString stepText_;
    QString newestRecording_;
    QString manifestsReadFor_;
    QString newestManifest_;
    QDate newestManifestDay_;
};

} // namespace kestrova
