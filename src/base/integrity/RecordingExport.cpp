#include "base/integrity/RecordingExport.h"

#include "base/archive/ManifestNames.h"
#include "base/archive/RecordingName.h"
#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"
#include "base/files/TarWriter.h"
#include "base/integrity/ManifestSet.h"
#include "base/integrity/RecordingCopies.h"
#include "base/integrity/Verification.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace kestrova {

namespace {

const char* const kReportName = "Pruefbericht.txt";

// The circuit's manifests in writing order, read as the check reads them.
struct CircuitManifests {
    QStringList names;
    ManifestSet set;
};

CircuitManifests readCircuitManifests(const QString& docFolder, const QString& circuit) {
    CircuitManifests manifests;
    const QDir folder(manifestFolder(docFolder));
    manifests.names = ManifestSet::inWritingOrder(manifestsOfCircuit(folder.path(), circuit));
    for (const QString& name : std::as_const(manifests.names)) {
        if (std::optional<ManifestReading> reading = readManifestFile(folder.filePath(name))) {
            manifests.set.add(name, *reading);
        }
    }
    return manifests;
}

// The copies that lie in the range: the entered one of each recording, and any the
// manifests do not know; the second copy of an archived recording is left out.
QStringList recordingsInRange(const QString& docFolder, const ExportRange& range, const ManifestSet& set) {
    const QDir doc(docFolder);
    QStringList paths;
    forEachRecordingFile(docFolder, [&](const QFileInfo& file) {
        const QString relative = doc.relativeFilePath(file.filePath());
        if (range.holdsRecording(file.fileName()) && !set.isSecondCopy(relative)) {
            paths << relative;
        }
    });
    sortAsListed(paths);
    return paths;
}

// The day of the newest manifest with a line of the range: the chain up to it is
// what carries those lines. Without any, the day of the newest recording.
QDate lastManifestDay(const ExportRange& range, const ManifestSet& set, const QStringList& recordings) {
    QDate last;
    for (const ManifestSet::Copy& copy : set.copies()) {
        if (!copy.kept.path.isEmpty() && range.holdsRecording(lastPart(copy.kept.path))) {
            last = std::max(last, dayOfManifest(copy.manifest));
        }
    }
    for (const QString& path : recordings) {
        const std::optional<QDateTime> moment = recordingMoment(lastPart(path));
        if (!last.isValid() && moment) {
            last = moment->date();
        }
    }
    return last;
}

bool hasEntryInRange(const ExportRange& range, const ManifestSet& set) {
    return std::any_of(set.copies().cbegin(), set.copies().cend(), [&range](const ManifestSet::Copy& copy) {
        return !copy.kept.path.isEmpty() && range.holdsRecording(lastPart(copy.kept.path));
    });
}

QString proofNotes() {
    return QStringLiteral(
        "\nWas dieser Bericht belegt: jede Aufnahme ohne Befund gleicht Byte für Byte (Länge und "
        "SHA-256) ihrer Zeile im Manifest, und jede dieser Zeilen steht in der Kette des Funkkreises "
        "vom ersten Manifest bis zum letzten Hash oben. Eine geänderte Aufnahme, Zeile oder ein "
        "geänderter Tag innerhalb der Kette ist ein Befund (Verändert, Fehlt, In keinem Manifest, "
        "Kette unterbrochen).\n"
        "Was einen notierten Hash braucht: dass die Kette nicht am Ende gekürzt oder samt ihren "
        "Hashes neu geschrieben wurde, zeigt nur ein Hash, der vorher an anderer Stelle notiert "
        "wurde: kestrova --verify --gegen HASH ORDNER.\n");
}

QString counted(qsizetype count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(count == 1 ? one : many));
}

// The folder the tar unpacks into: the target's name without ".tar".
QString topFolderOf(const QString& target) {
    const QString name = QFileInfo(target).fileName();
    return name.endsWith(QStringLiteral(".tar"), Qt::CaseInsensitive) ? name.chopped(4) : name;
}

class ExportWriter {
public:
    ExportWriter(const QString& target, QString top) : file_(target), top_(std::move(top)) {
        file_.neverReplace();
    }

    bool open() {
        return file_.open(QIODevice::WriteOnly) ||
               failWith(QStringLiteral("die Datei lässt sich dort nicht anlegen"));
    }
    bool addBytes(const QString& name, const QByteArray& bytes, const QDateTime& modified) {
        return tar_.addBytes(top_ + QLatin1Char('/') + name, bytes, modified) || failWith(tar_.error());
    }
    // Read by the one rule for opening files: a link or a device is not followed.
    bool addFile(const QString& docFolder, const QString& relative) {
        const QString path = QDir(docFolder).filePath(relative);
        const RegularFileOpen opened = openRegularFile(path);
        if (!opened.file) {
            return failWith(opened.error);
        }
        return tar_.addFile(top_ + QLatin1Char('/') + relative, *opened.file, opened.file->size(),
                            QFileInfo(path).lastModified()) ||
               failWith(tar_.error());
    }
    bool finish() {
        return (tar_.finish() || failWith(tar_.error())) &&
               (file_.commit() || failWith(QStringLiteral("nicht vollständig auf den Datenträger gekommen")));
    }
    QString error() const { return error_; }

private:
    bool failWith(const QString& error) {
        if (error_.isEmpty()) {
            error_ = error;
        }
        return false;
    }

    SafeSaveFile file_;
    TarWriter tar_{file_};
    QString top_;
    QString error_;
};

bool writeExport(ExportWriter& writer, const QString& docFolder, const ExportRange& range,
                 const QByteArray& report, const QStringList& manifests, const QStringList& recordings,
                 const QDateTime& now) {
    if (!writer.open() || !writer.addBytes(exportDescriptionName(), range.descriptionText(), now) ||
        !writer.addBytes(QString::fromLatin1(kReportName), report, now)) {
        return false;
    }
    const QString manifestsBelow = QDir(docFolder).relativeFilePath(manifestFolder(docFolder));
    for (const QString& name : manifests) {
        if (!writer.addFile(docFolder, manifestsBelow + QLatin1Char('/') + name)) {
            return false;
        }
    }
    for (const QString& relative : recordings) {
        if (!writer.addFile(docFolder, relative)) {
            return false;
        }
    }
    return writer.finish();
}

} // namespace

ExportStatus exportRecordings(const QString& docFolder, ExportRange range, const QString& target,
                              const QDateTime& now, QTextStream& out) {
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink()) {
        out << QStringLiteral("Die Datei %1 gibt es schon. Ein Auszug überschreibt nichts: bitte einen "
                              "neuen Namen angeben.\n")
                   .arg(QDir::toNativeSeparators(target));
        return ExportStatus::NotWritten;
    }
    const CircuitManifests manifests = readCircuitManifests(docFolder, range.circuit);
    const QStringList recordings = recordingsInRange(docFolder, range, manifests.set);
    if (recordings.isEmpty() && !hasEntryInRange(range, manifests.set)) {
        out << QStringLiteral(
                   "Im Zeitraum %1 gibt es keine Aufnahme in %2; es wurde keine Datei geschrieben.\n")
                   .arg(range.described(), QDir::toNativeSeparators(docFolder));
        return ExportStatus::NotWritten;
    }
    range.manifestsUntil = lastManifestDay(range, manifests.set, recordings);
    QStringList exported = manifests.names;
    exported.removeIf([&range](const QString& name) { return !range.holdsManifest(name); });

    QString report;
    QTextStream reportStream(&report);
    reportStream << QStringLiteral("Prüfbericht zum Auszug %1, erstellt am %2\n")
                        .arg(targetInfo.fileName(), now.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    const VerificationStatus status = verifyRecordings(docFolder, reportStream, now, {}, range);
    reportStream << proofNotes();
    reportStream.flush();
    out << report;

    ExportWriter writer(target, topFolderOf(target));
    if (!writeExport(writer, docFolder, range, report.toUtf8(), exported, recordings, now)) {
        out << QStringLiteral("Der Auszug %1 konnte nicht geschrieben werden (%2); es blieb keine Datei "
                              "zurück.\n")
                   .arg(QDir::toNativeSeparators(target), writer.error());
        return ExportStatus::NotWritten;
    }
    out << QStringLiteral("Auszug geschrieben: %1 (%2, %3, %4 Bytes); auspacken mit tar -xf und prüfen mit "
                          "kestrova --verify %5\n")
               .arg(QDir::toNativeSeparators(target), counted(recordings.size(), "Aufnahme", "Aufnahmen"),
                    counted(exported.size(), "Manifest", "Manifeste"))
               .arg(QFileInfo(target).size())
               .arg(topFolderOf(target));
    return status == VerificationStatus::AllGood ? ExportStatus::Proven : ExportStatus::Findings;
}

} // namespace kestrova
