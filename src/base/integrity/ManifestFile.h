#pragma once

#include "base/archive/ManifestNames.h"
#include "base/integrity/ManifestLine.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QIODevice;

namespace kestrova {

struct ManifestProblem {
    enum class Kind {
        CutOff,     // the last line has no line end: a write was cut short
        TooLong,    // longer than any entry the program writes; skipped unread
        Damaged,    // the line does not match its own hash: changed or cut short
        ChainBroken // the line names another previous line: lines were removed, added or reordered
    };
    Kind kind;
    int line; // from 1
};

struct ManifestReading {
    struct NumberedEntry {
        ManifestEntry entry;
        int line;
    };
    // Only lines that match their own hash; a damaged or cut-off line counts for nothing.
    QList<NumberedEntry> entries;
    QList<ManifestProblem> problems;
    // The hash of the last good line, which the next line names; empty when there is none.
    QByteArray lastHash;
    // What the first good line names as its previous one, and where it is: the link
    // to the day before, which only all manifests together can judge.
    QByteArray firstPreviousHash;
    int firstGoodLine = 0;
    int lineCount = 0;
    // The good line whose own hash is the one the reading was asked to look for; 0
    // when none is. Looked for while reading, so no line's hash has to be kept.
    int soughtLine = 0;
    // The last byte is not a line end, so an append must end that line first.
    bool endsOpen = false;
    bool endsInCutOffLine() const;
};

// A path below the documentation folder, a length and three hashes: the longest
// line the program writes is far shorter, so a longer one is no entry.
constexpr qsizetype kLongestManifestLine = 8192;

// Reads a manifest line by line; memory stays bounded by the line limit and the
// good entries, whatever the file holds.
// soughtLineHash, when given, is the hash of a line to find (lower-case hex).
ManifestReading readManifest(QIODevice& device, const QByteArray& soughtLineHash = {});

// Reads the manifest at path; nullopt when it is not a plain file (a link, a
// device, a folder) or cannot be read.
std::optional<ManifestReading> readManifestFile(const QString& path, const QByteArray& soughtLineHash = {});

// Calls `visit` with the entry of each good line of the manifest at path, one line
// held at a time; false, with nothing visited, when it is not a plain file or
// cannot be read.
bool forEachManifestEntry(const QString& path, const std::function<void(const ManifestEntry&)>& visit);

} // namespace kestrova
