#include "base/integrity/ManifestSet.h"

#include "base/archive/RecordingFolders.h"

#include <algorithm>

namespace kestrova {

namespace {
// "1_2012-08-17.txt" sorts by "2012-08-17.txt 1_2012-08-17.txt".
QString writingOrderKey(const QString& fileName) {
    return fileName.section(QLatin1Char('_'), 1) + QLatin1Char(' ') + fileName;
}
} // namespace

QString lastPart(const QString& path) {
    return path.section(QLatin1Char('/'), -1);
}

bool isInRecordingsFolder(const QString& relativePath) {
    return relativePath.count(QLatin1Char('/')) == 1 &&
           isRecordingsFolderName(relativePath.section(QLatin1Char('/'), 0, 0));
}

QStringList ManifestSet::inWritingOrder(QStringList fileNames) {
    std::sort(fileNames.begin(), fileNames.end(),
              [](const QString& a, const QString& b) { return writingOrderKey(a) < writingOrderKey(b); });
    return fileNames;
}

void ManifestSet::add(const QString& manifest, ManifestReading reading) {
    linkToDayBefore(manifest, reading);
    chains_.append({manifest, reading});
    for (const ManifestReading::NumberedEntry& numbered : reading.entries) {
        addEntry(manifest, numbered);
    }
}

void ManifestSet::addEntry(const QString& manifest, const ManifestReading::NumberedEntry& numbered) {
    const ManifestEntry& entry = numbered.entry;
    if (entry.kind == ManifestEntry::Kind::Removed) {
        if (!isInRecordingsFolder(entry.path)) {
            conflicts_.append({Conflict::Kind::ArchiveRemoval, entry.path, manifest, numbered.line, {}, 0});
            return;
        }
        Copy& copy = copies_[entry.path];
        copy.removed = true;
        copy.removalReason = entry.reason;
        return;
    }
    const auto entered = copies_.constFind(entry.path);
    if (entered != copies_.cend() && !entered->kept.path.isEmpty() && !entered->removed) {
        conflicts_.append({Conflict::Kind::SecondEntry, entry.path, manifest, numbered.line,
                           entered->manifest, entered->line});
        return;
    }
    copies_.insert(entry.path, Copy{entry, manifest, numbered.line, false, {}});
    pathByName_.insert(lastPart(entry.path), entry.path);
}

// The first line names the last line of the circuit's manifest before. Older
// versions started each day's chain afresh; such days are taken as they are until
// the first day that was chained, and the chain starts at the last of them.
void ManifestSet::linkToDayBefore(const QString& manifest, ManifestReading& reading) {
    if (reading.lastHash.isEmpty()) {
        return;
    }
    CircuitChain& chain = circuits_[circuitOfManifest(manifest)];
    const QByteArray& named = reading.firstPreviousHash;
    if (!chain.lastHash.isEmpty() && named == chain.lastHash) {
        chain.linked = true;
    } else if (named == chainStartHash() && !chain.linked) {
        chain.separateManifests += chain.start.isEmpty() ? 0 : 1;
        chain.start = manifest;
    } else {
        reading.problems.append({ManifestProblem::Kind::ChainBroken, reading.firstGoodLine});
        std::stable_sort(reading.problems.begin(), reading.problems.end(),
                         [](const ManifestProblem& a, const ManifestProblem& b) { return a.line < b.line; });
        if (chain.start.isEmpty()) {
            chain.start = manifest;
        }
    }
    chain.last = manifest;
    chain.lastHash = reading.lastHash;
}

const ManifestSet::Copy* ManifestSet::find(const QString& path) const {
    const auto found = copies_.constFind(path);
    return found == copies_.cend() || found->kept.path.isEmpty() ? nullptr : &*found;
}

const ManifestSet::Copy* ManifestSet::findByName(const QString& name) const {
    const auto path = pathByName_.constFind(name);
    return path == pathByName_.cend() ? nullptr : find(*path);
}

bool ManifestSet::isSecondCopy(const QString& path) const {
    return isInRecordingsFolder(path) && find(path) == nullptr && findByName(lastPart(path)) != nullptr;
}

std::optional<QString> ManifestSet::removal(const QString& path) const {
    const auto found = copies_.constFind(path);
    if (found == copies_.cend() || !found->removed) {
        return std::nullopt;
    }
    return found->removalReason;
}

} // namespace kestrova
