#include "base/aftercommand/AfterCommandMessages.h"

#include <QChar>

namespace kestrova {

namespace {

// "0,3 s", "30 s", "2 min": German, as short as it reads.
QString durationText(std::chrono::milliseconds duration) {
    using std::chrono::milliseconds;
    if (duration < std::chrono::seconds(1)) {
        return QStringLiteral("%1 s").arg(QString::number(static_cast<double>(duration.count()) / 1000.0)
                                              .replace(QLatin1Char('.'), QLatin1Char(',')));
    }
    if (duration < std::chrono::minutes(2)) {
        return QStringLiteral("%1 s").arg(std::chrono::duration_cast<std::chrono::seconds>(duration).count());
    }
    return QStringLiteral("%1 min").arg(std::chrono::duration_cast<std::chrono::minutes>(duration).count());
}

// What the command printed last, on one line: no control character survives.
QString oneLine(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    for (QChar& character : text) {
        if (character.category() == QChar::Other_Control) {
            character = QLatin1Char(' ');
        }
    }
    return text.simplified();
}

QString howItFailed(const AfterCommandOutcome& outcome, std::chrono::milliseconds timeLimit) {
    switch (outcome.kind) {
    case AfterCommandOutcome::Kind::TimedOut:
        return QStringLiteral("Zeitlimit von %1 überschritten, abgebrochen").arg(durationText(timeLimit));
    case AfterCommandOutcome::Kind::Crashed:
        return QStringLiteral("abgestürzt");
    case AfterCommandOutcome::Kind::NotStarted:
        return QStringLiteral("nicht gestartet (%1)").arg(outcome.startError);
    case AfterCommandOutcome::Kind::Failed:
    case AfterCommandOutcome::Kind::Succeeded:
        break;
    }
    return QStringLiteral("Exitcode %1").arg(outcome.exitCode);
}

QString printedText(const AfterCommandOutcome& outcome) {
    if (const QString error = oneLine(outcome.errorTail); !error.isEmpty()) {
        return QStringLiteral(", Fehlerausgabe: „%1“").arg(error);
    }
    if (const QString output = oneLine(outcome.outputTail); !output.isEmpty()) {
        return QStringLiteral(", Ausgabe: „%1“").arg(output);
    }
    return {};
}

} // namespace

QString afterCommandFailureLine(const AfterCommandJob& job, const AfterCommandOutcome& outcome,
                                std::chrono::milliseconds timeLimit, std::chrono::milliseconds wait,
                                const QDateTime& nextTry) {
    return QStringLiteral("Befehl nach der Aufnahme %1 fehlgeschlagen: %2%3; nächster Versuch in %4 (%5).")
        .arg(job.recording.name, howItFailed(outcome, timeLimit), printedText(outcome), durationText(wait),
             nextTry.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
}

QString afterCommandOutcomeText(const AfterCommandOutcome& outcome, std::chrono::milliseconds timeLimit) {
    return howItFailed(outcome, timeLimit) + printedText(outcome);
}

QString afterCommandSuccessAfterFailuresLine(const AfterCommandJob& job) {
    const QString tries = job.failures == 1 ? QStringLiteral("einem Fehlversuch")
                                            : QStringLiteral("%1 Fehlversuchen").arg(job.failures);
    return QStringLiteral("Befehl nach der Aufnahme %1 nach %2 ausgeführt.").arg(job.recording.name, tries);
}

QString afterCommandGoneLine(const AfterCommandJob& job) {
    return QStringLiteral("Befehl nach der Aufnahme %1 entfällt: die Datei [%2] gibt es nicht mehr.")
        .arg(job.recording.name, job.recording.path);
}

} // namespace kestrova
