#include "base/archive/ArchiveReader.h"

#include "base/archive/DatedTree.h"
#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <utility>

namespace kestrova {

namespace {

QStringList folderChain(const QString& tree, const QDate& day) {
    const QString year = QDir(tree).filePath(QStringLiteral("Ja_") + day.toString(QStringLiteral("yyyy")));
    const QString month = QDir(year).filePath(QStringLiteral("Mo-") + day.toString(QStringLiteral("MM")));
    const QString dayFolder =
        QDir(month).filePath(QStringLiteral("Tg-") + day.toString(QStringLiteral("dd")));
    return {tree, year, month, dayFolder};
}

} // namespace

ArchiveReader::ArchiveReader(QString docFolder, QString circuit)
    : docFolder_(std::move(docFolder)), circuit_(std::move(circuit)) {}

QString ArchiveReader::problem() const {
    const QFileInfo folder(docFolder_);
    if (!folder.exists()) {
        return QStringLiteral("Den Dokumentationsordner %1 gibt es nicht.").arg(docFolder_);
    }
    if (!folder.isDir() || !folder.isReadable() || !folder.isExecutable()) {
        return QStringLiteral("Der Dokumentationsordner %1 lässt sich nicht lesen.").arg(docFolder_);
    }
    const std::optional<QString> recordings = findRecordingsFolder(docFolder_);
    if (recordings && !QFileInfo(*recordings).isReadable()) {
        return QStringLiteral("Der Aufnahmeordner %1 lässt sich nicht lesen.").arg(*recordings);
    }
    return {};
}

QStringList ArchiveReader::recordingNames() const {
    const std::optional<QString> folder = findRecordingsFolder(docFolder_);
    if (!folder) {
        return {};
    }
    // Many thousands of names at each look: matched by hand, not by a name filter's pattern.
    QStringList names;
    QDirIterator entries(*folder, QDir::Files | QDir::NoSymLinks);
    while (entries.hasNext()) {
        const QString name = entries.nextFileInfo().fileName();
        if (name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive) && recordingMomentKey(name) &&
            (circuit_.isEmpty() || recordingCircuit(name) == circuit_)) {
            names.append(name);
        }
    }
    return names;
}

double ArchiveReader::recordingSeconds(const QString& name) const {
    const std::optional<QString> folder = findRecordingsFolder(docFolder_);
    return folder ? recordingLength(QDir(*folder).filePath(name)) : 0.0;
}

QStringList ArchiveReader::datedTrees() const {
    if (!circuit_.isEmpty()) {
        return {QDir(docFolder_).filePath(QStringLiteral("Fk_") + circuit_)};
    }
    QStringList trees;
    for (const QString& tree :
         QDir(docFolder_)
             .entryList({datedTreePattern()}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        trees.append(QDir(docFolder_).filePath(tree));
    }
    return trees;
}

QStringList ArchiveReader::foldersToWatch(const QDate& day) const {
    if (!QFileInfo(docFolder_).isDir()) {
        const QString above = QFileInfo(docFolder_).absolutePath();
        return QFileInfo(above).isDir() ? QStringList{above} : QStringList{};
    }
    QStringList folders{docFolder_};
    if (const std::optional<QString> recordings = findRecordingsFolder(docFolder_)) {
        folders.append(*recordings);
    }
    for (const QString& tree : datedTrees()) {
        const QStringList chain = folderChain(tree, day);
        for (const QString& folder : chain) {
            if (!QFileInfo(folder).isDir()) {
                break;
            }
            folders.append(folder);
        }
        if (QFileInfo(chain.constLast()).isDir()) {
            for (const QString& hour : QDir(chain.constLast())
                                           .entryList({QStringLiteral("hh-*")},
                                                      QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
                folders.append(QDir(chain.constLast()).filePath(hour));
            }
        }
    }
    return folders;
}

} // namespace kestrova
