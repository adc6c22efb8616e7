#include "integrity/ManifestWriter.h"

#include "archive/RecordingFolders.h"
#include "archive/RecordingRules.h"
#include "integrity/FileHash.h"
#include "integrity/ManifestFile.h"
#include "platform/DurableAppend.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {

// Long enough to hash an hour of recording on a small machine.
constexpr int kPendingWaitAtEnd = 5000;

QString keptCopy(const QString& docFolder, const QString& name, bool archiving) {
    const QString dated = datedArchiveFolder(docFolder, name) + QLatin1Char('/') + name;
    if (archiving && QFileInfo(dated).isFile()) {
        return dated;
    }
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder ? *folder + QLatin1Char('/') + name : QString();
}

void warn(const QString& text) {
    qWarning().noquote() << text;
}

QString cannotWrite(const QString& manifest, const QString& path) {
    return QStringLiteral("Das Manifest %1 kann nicht geschrieben werden; %2 fehlt darin.")
        .arg(QDir::toNativeSeparators(manifest), path);
}

// Empty for a manifest not made yet; nullopt for one that is there but cannot be
// read, which must not get a second chain.
std::optional<ManifestReading> readExistingManifest(const QString& manifest) {
    const QFileInfo file(manifest);
    if (!file.exists() && !file.isSymLink()) {
        return ManifestReading{{}, {}, chainStartHash()};
    }
    return readManifestFile(manifest);
}

void enterKept(const QString& docFolder, const QString& name, bool archiving, const QDate& day) {
    const QString copy = keptCopy(docFolder, name, archiving);
    const std::optional<FileHash> hash = copy.isEmpty() ? std::nullopt : hashFile(copy);
    if (!hash) {
        warn(QStringLiteral("Die Aufnahme %1 kann für das Manifest nicht gelesen werden.").arg(name));
        return;
    }
    ManifestEntry entry;
    entry.path = QDir(docFolder).relativeFilePath(copy);
    entry.length = hash->length;
    entry.hash = hash->hash;
    appendToManifest(docFolder, entry, day);
}

} // namespace

ManifestWriter::ManifestWriter() {
    pool_.setMaxThreadCount(1);
}

ManifestWriter::~ManifestWriter() {
    if (!pool_.waitForDone(kPendingWaitAtEnd)) {
        pool_.clear();
        warn(QStringLiteral("Nicht alle Aufnahmen konnten noch ins Manifest eingetragen werden."));
    }
}

void ManifestWriter::recordKept(const QString& docFolder, const QString& name, bool archiving,
                                const QDate& day) {
    pool_.start([docFolder, name, archiving, day] { enterKept(docFolder, name, archiving, day); });
}

void ManifestWriter::recordRemoved(const QString& docFolder, const QString& path, const QString& reason,
                                   const QDate& day) {
    ManifestEntry entry;
    entry.kind = ManifestEntry::Kind::Removed;
    entry.path = QDir(docFolder).relativeFilePath(path);
    entry.reason = reason;
    pool_.start([docFolder, entry, day] { appendToManifest(docFolder, entry, day); });
}

bool ManifestWriter::waitForPending(int milliseconds) {
    return pool_.waitForDone(milliseconds);
}

bool appendToManifest(const QString& docFolder, const ManifestEntry& entry, const QDate& day) {
    const QString manifest = manifestPath(docFolder, QFileInfo(entry.path).fileName(), day);
    const std::optional<ManifestReading> reading = readExistingManifest(manifest);
    if (!reading) {
        warn(cannotWrite(manifest, entry.path));
        return false;
    }
    // A line cut short by a crash is ended here, so it stays a damaged line of its
    // own; the new one follows the last good line.
    QByteArray line = manifestLineText(entry, reading->lastHash);
    if (reading->endsOpen) {
        line.prepend('\n');
    }
    if (!QDir().mkpath(manifestFolder(docFolder)) || !appendDurably(manifest, line)) {
        warn(cannotWrite(manifest, entry.path));
        return false;
    }
    return true;
}

} // namespace kestrova
