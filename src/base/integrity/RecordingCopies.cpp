#include "base/integrity/RecordingCopies.h"

#include "base/archive/ContinuationList.h"
#include "base/archive/DatedTree.h"
#include "base/archive/RecordingFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace kestrova {

namespace {

// Links are listed, not followed; System adds devices, pipes and broken links.
constexpr QDir::Filters kEverything = QDir::Files | QDir::System | QDir::NoDotAndDotDot;

void sortIn(RecordingCopies& copies, const QFileInfo& entry) {
    if (entry.isSymLink() || !entry.isFile()) {
        copies.others << entry.filePath();
    } else {
        copies.files << entry.filePath();
    }
}

void addRecordingsFolder(RecordingCopies& copies, const QString& docFolder) {
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    if (!folder) {
        return;
    }
    for (const QFileInfo& entry : QDir(*folder).entryInfoList(kEverything, QDir::Name)) {
        if (entry.fileName().compare(QStringLiteral("w.dat"), Qt::CaseInsensitive) != 0 &&
            !ContinuationList::isListFile(entry.fileName())) {
            sortIn(copies, entry);
        }
    }
}

void addArchiveTree(RecordingCopies& copies, const QFileInfo& tree) {
    if (tree.isSymLink()) {
        copies.others << tree.filePath();
        return;
    }
    RecordingCopies found;
    QDirIterator entries(tree.filePath(), kEverything | QDir::Dirs, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (entry.isSymLink() || !entry.isDir()) {
            sortIn(found, entry);
        }
    }
    found.files.sort();
    found.others.sort();
    copies.files << found.files;
    copies.others << found.others;
}

} // namespace

RecordingCopies findRecordingCopies(const QString& docFolder) {
    RecordingCopies copies;
    addRecordingsFolder(copies, docFolder);
    const QFileInfoList trees =
        QDir(docFolder).entryInfoList({datedTreePattern()}, QDir::Dirs | kEverything, QDir::Name);
    for (const QFileInfo& tree : trees) {
        if (tree.isDir() || tree.isSymLink()) {
            addArchiveTree(copies, tree);
        }
    }
    return copies;
}

} // namespace kestrova
