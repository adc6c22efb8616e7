#pragma once

#include "base/integrity/ManifestLine.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

// Appends lines to the manifests and keeps the end of each circuit's chain in
// memory: the manifest last written, its size and the hash of its last good line.
// The chain's end is read once; after that an append looks only at the file's size
// and last line, so a day of n entries costs n, not n squared. A new day's first
// line goes on from the day before, and no line goes into a day before the newest
// manifest's. Use it from one thread at a time.
class ManifestAppender {
public:
    // Appends the entries in order to the manifests of their circuits and day (or a
    // later day's, see above), the entries of one manifest in one write. False, with a message on standard
    // error, when any of them could not be written.
    bool append(const QString& docFolder, const QList<ManifestEntry>& entries, const QDate& day);
    // What could not be written since the last call, one German line an entry.
    QStringList takeProblems();

private:
    struct ChainEnd {
        QString manifest;
        qint64 size = 0;
        QByteArray lastHash;
        bool endsOpen = false; // a cut-off line at the end, to be ended first
    };

    bool appendLines(const QString& docFolder, const QString& dayManifest,
                     const QList<ManifestEntry>& entries);
    // Where the chain goes on for entries of dayManifest's day: there, or in the
    // circuit's newest manifest when that is of a later day.
    QString chainedManifest(const QString& dayManifest) const;
    // The end the next line of manifest follows; nullopt when the manifest cannot be read.
    std::optional<ChainEnd> endOf(const QString& manifest);

    QHash<QString, ChainEnd> ends_; // by manifest folder and circuit
    QStringList problems_;
};

} // namespace kestrova
