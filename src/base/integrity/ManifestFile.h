#pragma once

#include "base/integrity/ManifestLine.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class QIODevice;

namespace kestrova {

// The folder of the manifests below a documentation folder.
QString manifestFolder(const QString& docFolder);
// One manifest per radio circuit and day on which recordings were kept:
// "Manifeste/1_2012-08-17.txt". A day's first line names the last line of the
// circuit's day before, so each circuit has one chain over all its days. The chain
// never goes back a day: what is kept while the clock stands behind the newest
// manifest goes into that one.
QString manifestPath(const QString& docFolder, const QString& recordingName, const QDate& day);
// The circuit a manifest belongs to, from its file name: "1" for "1_2012-08-17.txt".
QString circuitOfManifest(const QString& fileName);
// The day a manifest's file name gives; an invalid date for a name that is no manifest's.
QDate dayOfManifest(const QString& fileName);

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
    // The last byte is not a line end, so an append must end that line first.
    bool endsOpen = false;
    bool endsInCutOffLine() const;
};

// A path below the documentation folder, a length and three hashes: the longest
// line the program writes is far shorter, so a longer one is no entry.
constexpr qsizetype kLongestManifestLine = 8192;

// Reads a manifest line by line; memory stays bounded by the line limit and the
// good entries, whatever the file holds.
ManifestReading readManifest(QIODevice& device);

// Reads the manifest at path; nullopt when it is not a plain file (a link, a
// device, a folder) or cannot be read.
std::optional<ManifestReading> readManifestFile(const QString& path);

} // namespace kestrova
