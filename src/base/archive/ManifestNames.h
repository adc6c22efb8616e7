#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace kestrova {

// The names of the daily manifests below a documentation folder. The archive owns
// them, as it owns the recordings' names and folders: the manifests that write
// and check them and the archive that reads the newest day go by these alone.

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
// The file names of the circuit's manifests in the folder, newest day first; only
// regular files whose names are manifests' names.
QStringList manifestsOfCircuit(const QString& manifestFolder, const QString& circuit);

} // namespace kestrova
