#include "integrity/ManifestAppender.h"

#include "integrity/ManifestFile.h"
#include "platform/DurableAppend.h"
#include "platform/RegularFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

QString manifestOf(const QString& docFolder, const ManifestEntry& entry, const QDate& day) {
    return manifestPath(docFolder, QFileInfo(entry.path).fileName(), day);
}

// Empty for a manifest not made yet; nullopt for one that is there but cannot be
// read, which must not get a second chain.
std::optional<ManifestReading> readExistingManifest(const QString& manifest) {
    const QFileInfo file(manifest);
    if (!file.exists() && !file.isSymLink()) {
        ManifestReading empty;
        empty.lastHash = chainStartHash();
        return empty;
    }
    return readManifestFile(manifest);
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

bool ManifestAppender::appendLines(const QString& docFolder, const QString& manifest,
                                   const QList<ManifestEntry>& entries) {
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
    if (!end || !QDir().mkpath(manifestFolder(docFolder)) || !appendDurably(manifest, lines)) {
        ends_.remove(manifest);
        for (const ManifestEntry& entry : entries) {
            qWarning().noquote() << cannotWrite(manifest, entry.path);
        }
        return false;
    }
    end->size += lines.size();
    end->endsOpen = false;
    ends_.insert(manifest, *end);
    return true;
}

std::optional<ManifestAppender::ChainEnd> ManifestAppender::endOf(const QString& manifest) {
    const auto known = ends_.constFind(manifest);
    if (known != ends_.cend() && stillEndsAt(manifest, known->size, known->lastHash)) {
        return *known;
    }
    const std::optional<ManifestReading> reading = readExistingManifest(manifest);
    if (!reading) {
        return std::nullopt;
    }
    return ChainEnd{manifest, QFileInfo(manifest).size(), reading->lastHash, reading->endsOpen};
}

} // namespace kestrova
