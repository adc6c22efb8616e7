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

bool isPlainFile(const QFileInfo& entry) {
    return !entry.isSymLink() && entry.isFile();
}

// The listing file and the list of continuations lie in D/w beside the recordings.
bool isListOfTheFolder(const QString& name) {
    return name.compare(QStringLiteral("w.dat"), Qt::CaseInsensitive) == 0 ||
           ContinuationList::isListFile(name);
}

QFileInfoList datedTrees(const QString& docFolder) {
    return QDir(docFolder).entryInfoList({datedTreePattern()}, QDir::Dirs | kEverything, QDir::Name);
}

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
        if (!isListOfTheFolder(entry.fileName())) {
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
    for (const QFileInfo& tree : datedTrees(docFolder)) {
        if (tree.isDir() || tree.isSymLink()) {
            addArchiveTree(copies, tree);
        }
    }
    return copies;
}

void forEachRecordingFile(const QString& docFolder, const std::function<void(const QFileInfo&)>& visit) {
    if (const std::optional<QString> folder = findRecordingsFolder(docFolder)) {
        QDirIterator entries(*folder, kEverything);
        while (entries.hasNext()) {
            entries.next();
            const QFileInfo entry = entries.fileInfo();
            if (isPlainFile(entry) && !isListOfTheFolder(entry.fileName())) {
                visit(entry);
            }
        }
    }
    for (const QFileInfo& tree : datedTrees(docFolder)) {
        if (tree.isDir() && !tree.isSymLink()) {
            QDirIterator entries(tree.filePath(), kEverything | QDir::Dirs, QDirIterator::Subdirectories);
            while (entries.hasNext()) {
                entries.next();
                if (isPlainFile(entries.fileInfo())) {
                    visit(entries.fileInfo());
                }
            }
        }
    }
}

} // namespace kestrova
