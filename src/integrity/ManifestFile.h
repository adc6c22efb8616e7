#pragma once

#include "integrity/ManifestLine.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

namespace kestrova {

// The folder of the manifests below a documentation folder.
QString manifestFolder(const QString& docFolder);
// One manifest per radio circuit and day on which recordings were kept:
// "Manifeste/1_2012-08-17.txt". Once its day is over it no longer changes.
QString manifestPath(const QString& docFolder, const QString& recordingName, const QDate& day);

struct ManifestProblem {
    enum class Kind {
        CutOff,     // the last line has no line end: a write was cut short
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
    // The hash of the last good line, which the next line names; the chain's start
    // when there is none.
    QByteArray lastHash;
    int lineCount = 0;
    bool endsInCutOffLine() const;
};

ManifestReading readManifest(const QByteArray& content);

} // namespace kestrova
