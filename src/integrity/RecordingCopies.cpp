#include "integrity/RecordingCopies.h"

#include "archive/RecordingFolders.h"

#include <QDir>
#include <QDirIterator>

namespace kestrova {

namespace {
constexpr QDir::Filters kPlainFiles = QDir::Files | QDir::NoSymLinks;
}

QString recordingsFolderName(const QString& docFolder) {
    const std::optional<QString> folder = findRecordingsFolder(docFolder);
    return folder ? QDir(*folder).dirName() : QStringLiteral("W");
}

QStringList recordingCopies(const QString& docFolder) {
    QStringList paths;
    if (const std::optional<QString> folder = findRecordingsFolder(docFolder)) {
        const QDir recordings(*folder);
        for (const QString& name : recordings.entryList(kPlainFiles, QDir::Name)) {
            if (name.compare(QStringLiteral("w.dat"), Qt::CaseInsensitive) != 0) {
                paths << recordings.filePath(name);
            }
        }
    }
    const QDir doc(docFolder);
    for (const QString& tree :
         doc.entryList({QStringLiteral("Fk_*")}, QDir::Dirs | QDir::NoSymLinks, QDir::Name)) {
        QDirIterator files(doc.filePath(tree), kPlainFiles, QDirIterator::Subdirectories);
        QStringList found;
        while (files.hasNext()) {
            found << files.next();
        }
        found.sort();
        paths << found;
    }
    return paths;
}

} // namespace kestrova
