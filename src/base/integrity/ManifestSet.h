#pragma once

#include "base/integrity/ManifestFile.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace kestrova {

// What all manifests of a documentation folder say about each recording copy, and
// the chain of each circuit over its days. A copy's first entry fixes it: a later
// one counts only after a line that says the copy was deleted, and only copies in
// the recordings folder are ever deleted by the program.
class ManifestSet {
public:
    struct Copy {
        ManifestEntry kept;
        QString manifest; // file name of the manifest that entered it
        int line = 0;
        bool removed = false;
        QString removalReason;
    };
    struct Chain {
        QString manifest;
        ManifestReading reading; // with a broken link to the day before among its problems
    };
    // An entry the set does not take.
    struct Conflict {
        enum class Kind {
            SecondEntry,   // the copy was entered before and not deleted since
            ArchiveRemoval // "entfernt" for a copy in the dated archive
        };
        Kind kind;
        QString path;
        QString manifest;
        int line = 0;
        QString firstManifest; // second entry: where the one that counts is
        int firstLine = 0;
    };
    struct CircuitChain {
        QString start;             // the manifest whose first line has no predecessor
        int separateManifests = 0; // before it: manifests of older versions, each a chain of its own
        QString last;              // the newest manifest with a good line
        QByteArray lastHash;       // its last good line's: it stands for every line before it
        bool linked = false;       // some day was chained to the day before
    };

    // Manifest file names in the order their lines were written: by day, then circuit.
    static QStringList inWritingOrder(QStringList fileNames);
    // Call in writing order.
    void add(const QString& manifest, ManifestReading reading);

    const QList<Chain>& chains() const { return chains_; }
    // By circuit.
    const QMap<QString, CircuitChain>& circuits() const { return circuits_; }
    const QList<Conflict>& conflicts() const { return conflicts_; }
    const QHash<QString, Copy>& copies() const { return copies_; }
    // The entry for a path relative to the documentation folder; null when none.
    const Copy* find(const QString& path) const;
    // The entered copy of a recording by its file name: what a copy in D/w of the
    // same name must match. Null when none.
    const Copy* findByName(const QString& name) const;
    // True for a copy in the recordings folder of a recording entered elsewhere (its
    // archive copy): the entry vouches for the other copy, which an export leaves out.
    bool isSecondCopy(const QString& path) const;
    // Why the program deleted the copy at path; nullopt when it did not.
    std::optional<QString> removal(const QString& path) const;

private:
    void linkToDayBefore(const QString& manifest, ManifestReading& reading);
    void addEntry(const QString& manifest, const ManifestReading::NumberedEntry& numbered);

    QList<Chain> chains_;
    QMap<QString, CircuitChain> circuits_;
    QList<Conflict> conflicts_;
    QHash<QString, Copy> copies_;
    QHash<QString, QString> pathByName_;
};

// The file name at the end of a path.
QString lastPart(const QString& path);
// True for a path below the documentation folder that lies in the recordings folder ("W/…").
bool isInRecordingsFolder(const QString& relativePath);

} // namespace kestrova
