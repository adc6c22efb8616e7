#include "base/integrity/MissingEntries.h"

#include "base/archive/DatedTree.h"
#include "base/archive/ManifestNames.h"
#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingName.h"
#include "base/integrity/EnteredNames.h"
#include "base/integrity/ManifestSet.h"
#include "base/integrity/RecordingCopies.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <iterator>

namespace kestrova {

namespace {

// Where the program puts a recording of this name: D/w, or its hour's dated folder.
bool liesWhereItsNameBelongs(const QString& docFolder, const QFileInfo& file) {
    const QString folder = QDir::cleanPath(file.absolutePath());
    const std::optional<QString> recordings = findRecordingsFolder(docFolder);
    return (recordings && folder == QDir::cleanPath(*recordings)) ||
           folder == QDir::cleanPath(datedArchiveFolder(docFolder, file.fileName()));
}

} // namespace

QStringList recordingsWithoutEntry(const QString& docFolder) {
    // Neither the manifests nor the copies are held whole: with a hundred thousand
    // recordings either would cost more than the rest of the program.
    const EnteredNames entered(manifestFolder(docFolder));
    // By the moment in the name; the dated copy wins over the one in D/w.
    QMap<QString, QString> byName;
    forEachRecordingFile(docFolder, [&](const QFileInfo& file) {
        const QString name = file.fileName();
        if (!recordingMoment(name) || entered.contains(name) || !liesWhereItsNameBelongs(docFolder, file)) {
            return;
        }
        const QString path = file.filePath();
        const bool dated = !isInRecordingsFolder(QDir(docFolder).relativeFilePath(path));
        if (dated || !byName.contains(name)) {
            byName.insert(name, path);
        }
    });
    QStringList names = byName.keys();
    sortAsListed(names);
    QStringList paths;
    paths.reserve(names.size());
    std::transform(names.cbegin(), names.cend(), std::back_inserter(paths),
                   [&byName](const QString& name) { return byName.value(name); });
    return paths;
}

} // namespace kestrova
