#include "base/integrity/ManifestLookup.h"

#include "base/archive/RecordingFolders.h"
#include "base/integrity/Verification.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <algorithm>

namespace kestrova {

namespace {
constexpr qint64 kLookIntervalMs = 1000;
// How many times as long as a reading took the next look waits at least.
constexpr qint64 kLookSpacing = 10;
} // namespace

QString ManifestLookup::hashOf(const QString& path) {
    const QFileInfo recording(path);
    const QString docFolder = documentationFolderOf(recording.absolutePath());
    const QString relative = QDir(docFolder).relativeFilePath(recording.absoluteFilePath());
    const QMutexLocker lock(&mutex_);
    const ManifestSet& set = refreshed(docFolder);
    const ManifestSet::Copy* copy = set.find(relative);
    if (copy == nullptr && relative.section(QLatin1Char('/'), 0, 0) == recordingsFolderName(docFolder)) {
        copy = set.findByName(recording.fileName());
    }
    return copy == nullptr ? QString() : QString::fromLatin1(copy->kept.hash);
}

const ManifestSet& ManifestLookup::refreshed(const QString& docFolder) {
    Folder& folder = folders_[docFolder];
    if (folder.sinceLook.isValid() && !folder.sinceLook.hasExpired(folder.lookIntervalMs)) {
        return folder.set;
    }
    QElapsedTimer reading;
    reading.start();
    if (reread(folder, docFolder)) {
        folder.set = ManifestSet();
        for (const QString& name : ManifestSet::inWritingOrder(folder.manifests.keys())) {
            folder.set.add(name, folder.manifests.value(name).reading);
        }
    }
    // While the manifests grow, a long day's list must not read them again and again.
    folder.lookIntervalMs = std::max(kLookIntervalMs, kLookSpacing * reading.elapsed());
    folder.sinceLook.start();
    return folder.set;
}

bool ManifestLookup::reread(Folder& folder, const QString& docFolder) {
    const QDir manifests(manifestFolder(docFolder));
    const QFileInfoList files = manifests.entryInfoList({QStringLiteral("*.txt")}, QDir::Files);
    bool changed = files.size() != folder.manifests.size();
    QHash<QString, CachedManifest> fresh;
    for (const QFileInfo& file : files) {
        CachedManifest cached = folder.manifests.value(file.fileName());
        if (cached.modified != file.lastModified() || cached.size != file.size()) {
            cached = {file.lastModified(), file.size(),
                      readManifestFile(file.filePath()).value_or(ManifestReading())};
            changed = true;
        }
        fresh.insert(file.fileName(), cached);
    }
    folder.manifests = fresh;
    return changed;
}

} // namespace kestrova
