#pragma once

#include "integrity/ManifestLine.h"

#include <QDate>
#include <QString>
#include <QThreadPool>

namespace kestrova {

// Enters kept and deleted recordings into the manifests. The work runs on a
// thread of its own, so hashing a long recording never holds up the next one;
// one thread also keeps the appends in the order they were asked for.
class ManifestWriter {
public:
    ManifestWriter();
    // Waits a short while for what is pending; a program end loses no entry of a
    // recording that was kept before it.
    ~ManifestWriter();
    ManifestWriter(const ManifestWriter&) = delete;
    ManifestWriter& operator=(const ManifestWriter&) = delete;

    // A recording was kept under name: the copy in the dated archive is entered when
    // archiving, as retention never deletes it, else (or when that copy is not there)
    // the one in D/w.
    void recordKept(const QString& docFolder, const QString& name, bool archiving, const QDate& day);
    // The program deleted a recording from D/w.
    void recordRemoved(const QString& docFolder, const QString& path, const QString& reason,
                       const QDate& day);
    // True when nothing is pending any more.
    bool waitForPending(int milliseconds);

private:
    QThreadPool pool_;
};

// Appends the entry to the manifest of the recording's circuit and day, after the
// manifest's last good line; false, with a message on standard error, when it could not.
bool appendToManifest(const QString& docFolder, const ManifestEntry& entry, const QDate& day);

} // namespace kestrova
