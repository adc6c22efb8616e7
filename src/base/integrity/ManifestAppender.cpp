#include "base/integrity/ManifestAppender.h"

#include "base/files/DurableAppend.h"
#include "base/files/RegularFile.h"
#include "base/integrity/ManifestFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace kestrova {

namespace {

QString cannotWrite(const QString& manifest, const QString& path) {
    return QStringLiteral("Das Manifest %1 kann nicht geschrieben werden; %2 fehlt darin.")
        .arg(QDir::toNativeSeparators(manifest), path);
}

// The manifest still ends where this program left it: the same size and the
// same last line. Reads only that line's hash, however long the manifest is.
bool stillEndsAt(const QString& manifest, qint64 size, const QByteArray& lastHash) {
    const QByteArray tail = lastHash + '\n';
    const QFileInfo info(manifest);
    if (info.isSymLink() || info.size() != size || size < tail.size()) {
        return false;
    }
    const RegularFileOpen opened = openRegularFile(manifest);
    return opened.file && opened.file->seek(size - tail.size()) && opened.file->read(tail.size()) == tail;
}

// A day the clock could not give counts as the epoch's: behind any manifest there is.
QString manifestOf(const QString& docFolder, const ManifestEntry& entry, const QDate& day) {
    return manifestPath(docFolder, QFileInfo(entry.path).fileName(), day.isValid() ? day : QDate(1970, 1, 1));
}

bool isAbsent(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() && !info.isSymLink();
}

// The hash of the last good line of the circuit's latest manifest before this one;
// the chain's start when there is none. A manifest that cannot be read is passed
// over, as the check passes over it.
QByteArray lastHashBefore(const QString& manifest) {
    const QFileInfo file(manifest);
    const QDir folder = file.dir();
    const QStringList earlier =
        folder.entryList({circuitOfManifest(file.fileName()) + QStringLiteral("_*.txt")},
                         QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::Reversed);
    for (const QString& name : std::as_const(earlier)) {
        if (name >= file.fileName()) {
            continue;
        }
        const std::optional<ManifestReading> reading = readManifestFile(folder.filePath(name));
        if (reading && !reading->lastHash.isEmpty()) {
            return reading->lastHash;
        }
    }
    return chainStartHash();
}

// The circuit's newest manifest that can be read, by the day in its name; empty
// when there is none. One that cannot be read is passed over, as the check passes over it.
QString newestManifestBeside(const QString& manifest) {
    const QFileInfo file(manifest);
    const QDir folder = file.dir();
    for (const QString& name : manifestsOfCircuit(folder.path(), circuitOfManifest(file.fileName()))) {
        if (openRegularFile(folder.filePath(name)).file) {
            return folder.filePath(name);
        }
    }
    return {};
}

QString chainKey(const QString& manifest) {
    const QFileInfo file(manifest);
    return file.path() + QLatin1Char('/') + circuitOfManifest(file.fileName());
}

} // namespace

bool ManifestAppender::append(const QString& docFolder, const QList<ManifestEntry>& entries,
                              const QDate& day) {
    bool allWritten = true;
    for (qsizetype first = 0; first < entries.size();) {
        const QString manifest = manifestOf(docFolder, entries.at(first), day);
        QList<ManifestEntry> group;
        while (first < entries.size() && manifestOf(docFolder, entries.at(first), day) == manifest) {
            group.append(entries.at(first++));
        }
        allWritten = appendLines(docFolder, manifest, group) && allWritten;
    }
    return allWritten;
}

bool ManifestAppender::appendLines(const QString& docFolder, const QString& dayManifest,
                                   const QList<ManifestEntry>& entries) {
    const QString manifest = chainedManifest(dayManifest);
    std::optional<ChainEnd> end = endOf(manifest);
    QByteArray lines;
    if (end && end->endsOpen) {
        // A line cut short by a crash is ended here, so it stays a damaged line of
        // its own; the new ones follow the last good line.
        lines.append('\n');
    }
    for (const ManifestEntry& entry : entries) {
        if (end) {
            const QByteArray line = manifestLineText(entry, end->lastHash);
            end->lastHash = line.sliced(line.size() - kHexHashLength - 1, kHexHashLength);
            lines.append(line);
        }
    }
    // A link in the folder's place would lead the manifests (and the program's
    // rights) to wherever it points.
    const QString folder = manifestFolder(docFolder);
    if (!end || QFileInfo(folder).isSymLink() || !QDir().mkpath(folder) || !appendDurably(manifest, lines)) {
        ends_.remove(chainKey(manifest));
        for (const ManifestEntry& entry : entries) {
            problems_.append(cannotWrite(manifest, entry.path));
            qWarning().noquote() << problems_.constLast();
        }
        return false;
    }
    end->size += lines.size();
    end->endsOpen = false;
    ends_.insert(chainKey(manifest), *end);
    return true;
}

QStringList ManifestAppender::takeProblems() {
    return std::exchange(problems_, {});
}

// A line in an earlier day's manifest would come after lines that the next day has
// already chained to; so while the clock stands behind the circuit's newest manifest
// (a start without a battery clock, a step back), the lines go into that one.
QString ManifestAppender::chainedManifest(const QString& dayManifest) const {
    const auto known = ends_.constFind(chainKey(dayManifest));
    const QString newest = known != ends_.cend() && stillEndsAt(known->manifest, known->size, known->lastHash)
                               ? known->manifest
                               : newestManifestBeside(dayManifest);
    const bool behind = !newest.isEmpty() && dayOfManifest(QFileInfo(dayManifest).fileName()) <
                                                 dayOfManifest(QFileInfo(newest).fileName());
    return behind ? newest : dayManifest;
}

std::optional<ManifestAppender::ChainEnd> ManifestAppender::endOf(const QString& manifest) {
    const auto known = ends_.constFind(chainKey(manifest));
    if (known != ends_.cend() && stillEndsAt(known->manifest, known->size, known->lastHash)) {
        if (known->manifest == manifest) {
            return *known;
        }
        // A new day goes on from the last; names of one circuit sort by day.
        if (known->manifest < manifest && isAbsent(manifest)) {
            return ChainEnd{manifest, 0, known->lastHash, false};
        }
    }
    if (isAbsent(manifest)) {
        return ChainEnd{manifest, 0, lastHashBefore(manifest), false};
    }
    const std::optional<ManifestReading> reading = readManifestFile(manifest);
    if (!reading) {
        return std::nullopt;
    }
    const QByteArray lastHash = reading->lastHash.isEmpty() ? lastHashBefore(manifest) : reading->lastHash;
    return ChainEnd{manifest, QFileInfo(manifest).size(), lastHash, reading->endsOpen};
}

} // namespace kestrova
