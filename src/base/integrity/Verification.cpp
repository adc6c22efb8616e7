#include "base/integrity/Verification.h"

#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"
#include "base/integrity/FileHash.h"
#include "base/integrity/ManifestSet.h"
#include "base/integrity/RecordingCopies.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

// A copy younger than this may still be waiting for its entry.
constexpr qint64 kEntryDelaySeconds = 60;
// The file system's times and the clock may differ by a rounding.
constexpr qint64 kClockSlackSeconds = 2;
// A line being written the moment the manifest is read looks cut off; it is read again.
constexpr unsigned long kRereadPauseMs = 300;

QString problemText(ManifestProblem::Kind kind) {
    switch (kind) {
    case ManifestProblem::Kind::CutOff:
        return QStringLiteral("unvollständig (das Schreiben wurde abgebrochen), wird nicht gewertet");
    case ManifestProblem::Kind::TooLong:
        return QStringLiteral("länger als jeder Eintrag, wird nicht gelesen");
    case ManifestProblem::Kind::Damaged:
        return QStringLiteral(
            "beschädigt oder verändert (passt nicht zu ihrem eigenen Hash), wird nicht gewertet");
    case ManifestProblem::Kind::ChainBroken:
        return QStringLiteral(
            "Kette unterbrochen (eine Zeile oder ein Tag davor fehlt, wurde eingefügt oder vertauscht)");
    }
    return {};
}

std::optional<ManifestReading> readSettledManifest(const QString& path,
                                                   const QByteArray& soughtLineHash = {}) {
    std::optional<ManifestReading> reading = readManifestFile(path, soughtLineHash);
    if (reading && reading->endsInCutOffLine()) {
        QThread::msleep(kRereadPauseMs);
        reading = readManifestFile(path, soughtLineHash);
    }
    return reading;
}

// In writing order. Anything named like a manifest is looked at, so a link or a
// device in its place is reported rather than passed over.
QStringList manifestNames(const QDir& folder) {
    return ManifestSet::inWritingOrder(
        folder.entryList({QStringLiteral("*.txt")}, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
}

// The name holds the moment the recording began, as the clock read it (no zone): a
// copy being filed now began at most its own length and the entry's delay ago. A
// name for another day, or none at all, is no recording of this moment.
bool namedForNow(const QString& path, const QDateTime& now) {
    const std::optional<QDateTime> began = recordingMoment(lastPart(path));
    if (!began) {
        return false;
    }
    const qint64 ago = began->secsTo(QDateTime(now.date(), now.time(), Qt::UTC));
    const auto length = static_cast<qint64>(std::ceil(recordingLength(path)));
    return ago >= -kClockSlackSeconds && ago < kEntryDelaySeconds + length;
}

QElapsedTimer startedTimer() {
    QElapsedTimer timer;
    timer.start();
    return timer;
}

class Verifier {
public:
    Verifier(const QString& folder, QTextStream& out, const QDateTime& now, const QByteArray& notedHash,
             const std::optional<ExportRange>& range)
        : scope_(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())),
          docFolder_(documentationFolderOf(scope_)), recordingsFolder_(recordingsFolderName(docFolder_)),
          out_(out), now_(now), notedHash_(notedHash),
          range_(range ? range : readExportDescription(docFolder_)), rangeGiven_(range.has_value()) {}

    VerificationStatus run() {
        if (!QFileInfo(scope_).isDir()) {
            out_ << QStringLiteral("Der Ordner %1 ist nicht vorhanden.\n")
                        .arg(QDir::toNativeSeparators(scope_));
            return VerificationStatus::CannotCheck;
        }
        out_ << QStringLiteral("Prüfe die Aufnahmen unter %1 mit den Manifesten in %2\n")
                    .arg(QDir::toNativeSeparators(scope_),
                         QDir::toNativeSeparators(manifestFolder(docFolder_)));
        if (range_) {
            note(QStringLiteral("Auszug: %1; nur dessen Aufnahmen müssen vorhanden sein.")
                     .arg(range_->described()));
        }
        readManifests();
        checkFiles();
        checkEntries();
        printLastHashes();
        checkNotedHash();
        return printResult();
    }

private:
    void finding(const QString& text) {
        ++findings_;
        out_ << text << '\n';
    }
    void note(const QString& text) { out_ << text << '\n'; }

    bool inScope(const QString& relativePath) const {
        const QString path = QDir(docFolder_).filePath(relativePath);
        return path == scope_ || path.startsWith(scope_ + QLatin1Char('/'));
    }
    // Outside an export's range lies the rest of the archive, which the export leaves out.
    bool inRange(const QString& relativePath) const {
        return !range_ || range_->holdsRecording(lastPart(relativePath));
    }
    // The export's own report looks at the files of the range alone. A range read from a
    // folder's description does not narrow what is checked of the files there: a
    // description put into an archive must not hide a changed recording.
    bool fileToCheck(const QString& relativePath) const {
        return inScope(relativePath) &&
               (!rangeGiven_ || (inRange(relativePath) && !set_.isSecondCopy(relativePath)));
    }
    static QString where(const ManifestSet::Copy& copy) {
        return QStringLiteral("Manifest %1, Zeile %2").arg(copy.manifest, QString::number(copy.line));
    }

    void readManifests() {
        const QDir folder(manifestFolder(docFolder_));
        for (const QString& name : manifestNames(folder)) {
            if (range_ && !range_->holdsManifest(name)) {
                continue;
            }
            const std::optional<ManifestReading> reading =
                readSettledManifest(folder.filePath(name), notedHash_);
            if (!reading) {
                finding(
                    QStringLiteral("Manifest %1 ist keine gewöhnliche Datei oder kann nicht gelesen werden")
                        .arg(name));
                continue;
            }
            lastManifestWrite_ =
                std::max(lastManifestWrite_, QFileInfo(folder.filePath(name)).lastModified());
            set_.add(name, *reading);
            for (const ManifestProblem& problem : set_.chains().last().reading.problems) {
                finding(QStringLiteral("Manifest %1, Zeile %2: %3")
                            .arg(name, QString::number(problem.line), problemText(problem.kind)));
            }
        }
        for (const ManifestSet::Conflict& conflict : set_.conflicts()) {
            reportConflict(conflict);
        }
    }

    void reportConflict(const ManifestSet::Conflict& conflict) {
        const QString at = QStringLiteral("Manifest %1, Zeile %2").arg(conflict.manifest).arg(conflict.line);
        if (conflict.kind == ManifestSet::Conflict::Kind::ArchiveRemoval) {
            finding(QStringLiteral("„entfernt“ für eine Archivkopie, die das Programm nie löscht: %1 (%2), "
                                   "wird nicht gewertet")
                        .arg(conflict.path, at));
            return;
        }
        finding(QStringLiteral("Zweiter Eintrag ohne Löschung davor: %1 (%2), wird nicht gewertet; es gilt "
                               "der erste (Manifest %3, Zeile %4)")
                    .arg(conflict.path, at, conflict.firstManifest)
                    .arg(conflict.firstLine));
    }

    void checkFiles() {
        const QDir doc(docFolder_);
        const RecordingCopies copies = findRecordingCopies(docFolder_);
        for (const QString& path : copies.others) {
            const QString relative = doc.relativeFilePath(path);
            if (fileToCheck(relative)) {
                finding(
                    QStringLiteral("Keine gewöhnliche Datei (Verknüpfung oder Gerät) bei den Aufnahmen: %1")
                        .arg(relative));
            }
        }
        for (const QString& path : copies.files) {
            const QString relative = doc.relativeFilePath(path);
            if (!fileToCheck(relative)) {
                continue;
            }
            present_.insert(relative);
            ++checked_;
            const ManifestSet::Copy* copy = set_.find(relative);
            if (copy == nullptr && isInRecordingsFolder(relative)) {
                copy = set_.findByName(lastPart(relative));
            }
            if (copy == nullptr) {
                reportUnlisted(path, relative);
            } else {
                compare(path, relative, *copy);
            }
        }
    }

    // Only a copy saved after the manifests' last entry, less than a minute ago and
    // named for this moment, may still be waiting for its own entry; one from the
    // future is not, nor one whose time is unknown (a time of zero, as a clock held
    // at the epoch leaves it), nor a fresh file named for another day.
    void reportUnlisted(const QString& path, const QString& relative) {
        const QDateTime modified = QFileInfo(path).lastModified();
        const QDateTime now = now_.addMSecs(sinceStart_.elapsed());
        const bool known = modified.isValid();
        if (known && modified > now.addSecs(kClockSlackSeconds)) {
            finding(
                QStringLiteral("In keinem Manifest, mit einer Änderungszeit in der Zukunft (%2): %1")
                    .arg(relative, QLocale::c().toString(modified, QStringLiteral("dd.MM.yyyy HH:mm:ss"))));
            noteDayWithoutManifest(lastPart(relative));
        } else if (known && modified.secsTo(now) < kEntryDelaySeconds &&
                   (!lastManifestWrite_.isValid() || modified >= lastManifestWrite_) &&
                   namedForNow(path, now)) {
            note(QStringLiteral("Eben gespeichert, noch in keinem Manifest: %1").arg(relative));
        } else {
            finding(QStringLiteral("In keinem Manifest: %1").arg(relative));
            noteDayWithoutManifest(lastPart(relative));
        }
    }

    // A day before the circuit's newest manifest needs none of its own: what was kept
    // while the clock stood behind that manifest is entered in it.
    void noteDayWithoutManifest(const QString& name) {
        const std::optional<QDateTime> moment = recordingMoment(name);
        if (!moment || moment->date() < dayOfManifest(set_.circuits().value(recordingCircuit(name)).last)) {
            return;
        }
        const QString manifest = manifestPath(docFolder_, name, moment->date());
        if (!QFileInfo::exists(manifest)) {
            daysWithoutManifest_.insert(
                QFileInfo(manifest).fileName(),
                QStringLiteral("Kein Manifest für den %1 (Funkkreis %2), obwohl Aufnahmen dieses Tages "
                               "vorliegen: das Manifest des Tages fehlt.")
                    .arg(moment->date().toString(QStringLiteral("dd.MM.yyyy")), recordingCircuit(name)));
        }
    }

    void compare(const QString& path, const QString& relative, const ManifestSet::Copy& copy) {
        const std::optional<FileHash> hash = hashFile(path);
        if (!hash) {
            finding(QStringLiteral("Nicht lesbar: %1").arg(relative));
        } else if (hash->length != copy.kept.length) {
            finding(QStringLiteral("Verändert: %1 (%2 Bytes statt %3, %4)")
                        .arg(relative, QString::number(hash->length), QString::number(copy.kept.length),
                             where(copy)));
        } else if (hash->hash != copy.kept.hash) {
            finding(QStringLiteral("Verändert: %1 (anderer SHA-256 bei gleicher Länge, %2)")
                        .arg(relative, where(copy)));
        }
    }

    void checkEntries() {
        QStringList paths = set_.copies().keys();
        paths.sort();
        for (const QString& path : std::as_const(paths)) {
            const ManifestSet::Copy* copy = set_.find(path);
            if (copy == nullptr || !inRange(path)) {
                continue;
            }
            if (inScope(path) && !present_.contains(path)) {
                reportAbsent(path, *copy);
            }
            if (!range_ && !isInRecordingsFolder(path)) {
                reportRecordingsFolderCopy(path);
            }
        }
    }

    void reportAbsent(const QString& path, const ManifestSet::Copy& copy) {
        if (const std::optional<QString> reason = set_.removal(path)) {
            note(QStringLiteral("Vom Programm gelöscht (%1): %2; der Manifesteintrag bleibt")
                     .arg(*reason, path));
        } else {
            finding(QStringLiteral("Fehlt: %1 (%2)").arg(path, where(copy)));
        }
    }

    // The copy in D/w of an archived recording is checked when it is there; retention
    // deletes it in time, and the archive copy is what the manifest vouches for.
    void reportRecordingsFolderCopy(const QString& archived) {
        const QString name = lastPart(archived);
        const QString path = recordingsFolder_ + QLatin1Char('/') + name;
        if (present_.contains(path) || !inScope(path)) {
            return;
        }
        // A missing archive copy is a finding of its own; nothing stays then.
        const QString stays = QFileInfo(QDir(docFolder_).filePath(archived)).isFile()
                                  ? QStringLiteral("; die Archivkopie bleibt")
                                  : QString();
        if (const std::optional<QString> reason = set_.removal(path)) {
            note(QStringLiteral("Vom Programm aus %1 gelöscht (%2): %3")
                     .arg(recordingsFolder_, *reason, name) +
                 stays);
        } else {
            note(QStringLiteral("Nicht mehr in %1: %2").arg(recordingsFolder_, name) + stays);
        }
    }

    void printLastHashes() {
        if (set_.chains().isEmpty()) {
            return;
        }
        note(QStringLiteral(
            "Letzter Hash jedes Manifests (mit der anderswo notierten Abschrift vergleichen):"));
        for (const ManifestSet::Chain& chain : set_.chains()) {
            const int lines = chain.reading.lineCount;
            const QByteArray& hash = chain.reading.lastHash;
            note(QStringLiteral("  %1  %2  (%3)")
                     .arg(chain.manifest,
                          hash.isEmpty() ? QStringLiteral("keine gültige Zeile") : QString::fromLatin1(hash),
                          lines == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(lines)));
        }
        for (const ManifestSet::CircuitChain& chain : set_.circuits()) {
            printCircuitChain(chain);
        }
    }

    void printCircuitChain(const ManifestSet::CircuitChain& chain) {
        QString start = QStringLiteral("Die Kette über alle Tage beginnt mit Manifest %1").arg(chain.start);
        if (chain.separateManifests == 1) {
            start += QStringLiteral("; davor 1 Manifest einer älteren Version mit eigener Kette");
        } else if (chain.separateManifests > 1) {
            start += QStringLiteral("; davor %1 Manifeste einer älteren Version, jedes mit eigener Kette")
                         .arg(chain.separateManifests);
        }
        note(start + QLatin1Char('.'));
        note(QStringLiteral("Letzter Hash der Kette, für alle Zeilen davor: %1 (%2)")
                 .arg(QString::fromLatin1(chain.lastHash), chain.last));
    }

    // The chain shows every change inside it, but not an end cut off together with
    // its recordings: only a hash noted elsewhere before the cut shows that. A line's
    // hash vouches for every line before it; a recording's SHA-256 (what the command
    // after each recording and MQTT pass on) shows that its entry is still there.
    void checkNotedHash() {
        if (notedHash_.isEmpty()) {
            return;
        }
        const QString hash = QString::fromLatin1(notedHash_);
        for (qsizetype i = 0; i < set_.chains().size(); ++i) {
            const ManifestSet::Chain& chain = set_.chains().at(i);
            if (chain.reading.soughtLine > 0) {
                note(QStringLiteral("Der notierte Hash %1 steht in der Kette: %2, Zeile %3. Er belegt diese "
                                    "Zeile und alle davor%4.")
                         .arg(hash, manifestDay(chain.manifest), QString::number(chain.reading.soughtLine),
                              linesAfterText(i, chain.reading.soughtLine)));
                return;
            }
        }
        if (const std::optional<KeptWithHash> kept = lastKeptWithNotedHash()) {
            note(QStringLiteral("Der notierte Hash %1 ist der SHA-256 der Aufnahme %2: eingetragen in %3, "
                                "Zeile %4%5.")
                     .arg(hash, kept->path, manifestDay(set_.chains().at(kept->chain).manifest),
                          QString::number(kept->line), linesAfterText(kept->chain, kept->line)));
            return;
        }
        finding(QStringLiteral("Der notierte Hash %1 steht in keinem Manifest: das Ende der Kette fehlt "
                               "(die letzten Zeilen oder Manifeste wurden entfernt, etwa mit ihren "
                               "Aufnahmen), oder die Manifeste wurden neu geschrieben.")
                    .arg(hash));
    }

    static QString manifestDay(const QString& manifest) {
        return QStringLiteral("Manifest %1 (Funkkreis %2, %3)")
            .arg(manifest, circuitOfManifest(manifest),
                 dayOfManifest(manifest).toString(QStringLiteral("dd.MM.yyyy")));
    }

    // What the noted hash does not vouch for: the circuit's lines after it.
    QString linesAfterText(qsizetype chainIndex, int line) const {
        const QList<ManifestSet::Chain>& chains = set_.chains();
        const QString circuit = circuitOfManifest(chains.at(chainIndex).manifest);
        int after = chains.at(chainIndex).reading.lineCount - line;
        for (qsizetype i = chainIndex + 1; i < chains.size(); ++i) {
            after += circuitOfManifest(chains.at(i).manifest) == circuit ? chains.at(i).reading.lineCount : 0;
        }
        if (after == 0) {
            return QStringLiteral("; es ist die letzte Zeile der Kette");
        }
        return after == 1 ? QStringLiteral("; für 1 Zeile danach bürgt er nicht")
                          : QStringLiteral("; für %1 Zeilen danach bürgt er nicht").arg(after);
    }

    struct KeptWithHash {
        qsizetype chain = 0;
        int line = 0;
        QString path;
    };
    // The last entry of a recording with the noted SHA-256, in writing order.
    std::optional<KeptWithHash> lastKeptWithNotedHash() const {
        std::optional<KeptWithHash> found;
        for (qsizetype i = 0; i < set_.chains().size(); ++i) {
            for (const ManifestReading::NumberedEntry& numbered : set_.chains().at(i).reading.entries) {
                if (numbered.entry.kind == ManifestEntry::Kind::Kept && numbered.entry.hash == notedHash_) {
                    found = KeptWithHash{i, numbered.line, numbered.entry.path};
                }
            }
        }
        return found;
    }

    // Without a manifest for the recordings there is nothing to check them against:
    // that is no "alles in Ordnung".
    bool printWhatCannotBeChecked() {
        if (set_.chains().isEmpty()) {
            note(QStringLiteral("Keine Manifeste gefunden: in %1 wurde nie etwas eingetragen, oder die "
                                "Manifeste wurden gelöscht. Die Aufnahmen können nicht geprüft werden.")
                     .arg(QDir::toNativeSeparators(manifestFolder(docFolder_))));
            return true;
        }
        for (const QString& sentence : std::as_const(daysWithoutManifest_)) {
            note(sentence);
        }
        return !daysWithoutManifest_.isEmpty();
    }

    VerificationStatus printResult() {
        const QString checked = QStringLiteral("%1 Aufnahmen geprüft").arg(checked_);
        const QString count =
            findings_ == 1 ? QStringLiteral("1 Befund") : QStringLiteral("%1 Befunde").arg(findings_);
        if (printWhatCannotBeChecked()) {
            note(QStringLiteral("Ergebnis: nicht prüfbar, ") + count + QStringLiteral(", ") + checked +
                 QLatin1Char('.'));
            return VerificationStatus::CannotCheck;
        }
        if (findings_ == 0) {
            note(QStringLiteral("Ergebnis: alles in Ordnung, ") + checked + QLatin1Char('.'));
            return VerificationStatus::AllGood;
        }
        note(QStringLiteral("Ergebnis: ") + count + QStringLiteral(", ") + checked + QLatin1Char('.'));
        return VerificationStatus::Findings;
    }

    const QString scope_;
    const QString docFolder_;
    const QString recordingsFolder_;
    QTextStream& out_;
    const QDateTime now_;
    const QByteArray notedHash_;
    const std::optional<ExportRange> range_;
    const bool rangeGiven_;
    const QElapsedTimer sinceStart_ = startedTimer();
    QDateTime lastManifestWrite_;
    QMap<QString, QString> daysWithoutManifest_; // the sentence by the missing manifest's name
    ManifestSet set_;
    QSet<QString> present_;
    int findings_ = 0;
    int checked_ = 0;
};

} // namespace

QString documentationFolderOf(const QString& folder) {
    const QString start = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    for (QDir candidate(start);;) {
        if (QFileInfo(manifestFolder(candidate.path())).isDir()) {
            return candidate.path();
        }
        if (!candidate.cdUp()) {
            return start;
        }
    }
}

VerificationStatus verifyRecordings(const QString& folder, QTextStream& out, const QDateTime& now,
                                    const QByteArray& notedHash, const std::optional<ExportRange>& range) {
    return Verifier(folder, out, now, notedHash, range).run();
}

VerificationStatus printLastHashes(const QString& folder, QTextStream& out) {
    const QDir manifests(manifestFolder(documentationFolderOf(folder)));
    ManifestSet set;
    bool damaged = false;
    for (const QString& name : manifestNames(manifests)) {
        const std::optional<ManifestReading> reading = readSettledManifest(manifests.filePath(name));
        if (!reading) {
            damaged = true;
            continue;
        }
        set.add(name, *reading);
        damaged = damaged || !set.chains().last().reading.problems.isEmpty();
    }
    if (set.circuits().isEmpty()) {
        out << QStringLiteral("Keine Manifeste gefunden in %1.\n")
                   .arg(QDir::toNativeSeparators(manifests.path()));
        return VerificationStatus::CannotCheck;
    }
    for (const ManifestSet::CircuitChain& chain : set.circuits()) {
        out << chain.lastHash << "  " << chain.last << '\n';
    }
    return damaged || !set.conflicts().isEmpty() ? VerificationStatus::Findings : VerificationStatus::AllGood;
}

} // namespace kestrova
