#pragma once

#include "base/integrity/ManifestSet.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QString>

namespace kestrova {

// The SHA-256 the manifests hold for a recording, for showing beside it. Cheap to
// ask again and again: the manifests are looked at no more than once a second, or
// ten times as seldom as reading them took (a day of ten thousand recordings is
// listed with one reading, not one a second), and a manifest is parsed again only
// when its time or size changed. Safe to call from several threads.
class ManifestLookup {
public:
    // Hex SHA-256 of the recording at path (in D/w or the dated archive) as entered;
    // empty when no manifest holds it.
    QString hashOf(const QString& path);

private:
    struct CachedManifest {
        QDateTime modified;
        qint64 size = -1;
        ManifestReading reading;
    };
    struct Folder {
        QHash<QString, CachedManifest> manifests;
        ManifestSet set;
        QElapsedTimer sinceLook;
        qint64 lookIntervalMs = 1000;
    };

    const ManifestSet& refreshed(const QString& docFolder);
    // True when any manifest was added, changed or removed.
    static bool reread(Folder& folder, const QString& docFolder);

    QMutex mutex_;
    QHash<QString, Folder> folders_;
};

} // namespace kestrova
