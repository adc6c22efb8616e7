#include "base/web/ServedPaths.h"

#include "base/archive/DatedTree.h"
#include "base/archive/RecordingFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kestrova {

namespace {

bool isPlainSegment(const QString& segment) {
    return !segment.isEmpty() && segment != QStringLiteral(".") && segment != QStringLiteral("..") &&
           !segment.contains(QLatin1Char('\\')) && !segment.contains(QLatin1Char(':')) &&
           !segment.contains(QChar(0));
}

bool liesInside(const QString& canonicalPath, const QString& canonicalRoot) {
    return !canonicalRoot.isEmpty() && canonicalPath.startsWith(canonicalRoot + QLatin1Char('/'));
}

} // namespace

bool isArchiveRootName(const QString& name) {
    return isDatedTreeName(name) && isPlainSegment(name);
}

ServedPaths::ServedPaths(QString docFolder) : docFolder_(std::move(docFolder)) {}

std::optional<QString> ServedPaths::recordingsFolder() const {
    // The one the archive files into, when both spellings are there.
    const std::optional<QString> folder = findRecordingsFolder(docFolder_);
    return folder ? rootFolder(QDir(*folder).dirName()) : std::nullopt;
}

std::optional<QString> ServedPaths::rootFolder(const QString& name) const {
    // A link named W or Fk_ that leads out of the documentation folder (to the
    // home folder, say) would hand out every WAV file there.
    const QString canonical = QFileInfo(QDir(docFolder_).filePath(name)).canonicalFilePath();
    if (!liesInside(canonical, QFileInfo(docFolder_).canonicalFilePath())) {
        return std::nullopt;
    }
    return canonical;
}

std::optional<QString> ServedPaths::resolve(const QString& relativePath) const {
    if (docFolder_.isEmpty() || relativePath.startsWith(QLatin1Char('/'))) {
        return std::nullopt;
    }
    const QStringList segments = relativePath.split(QLatin1Char('/'));
    for (const QString& segment : segments) {
        if (!isPlainSegment(segment)) {
            return std::nullopt;
        }
    }
    const QString& first = segments.constFirst();
    std::optional<QString> root;
    if (isRecordingsFolderName(first)) {
        root = recordingsFolder();
    } else if (isArchiveRootName(first)) {
        root = rootFolder(first);
    }
    if (!root) {
        return std::nullopt;
    }
    if (segments.size() == 1) {
        return root;
    }
    const QString rest = QStringList(segments.mid(1)).join(QLatin1Char('/'));
    const QString canonical = QFileInfo(QDir(*root).filePath(rest)).canonicalFilePath();
    if (!liesInside(canonical, *root)) {
        return std::nullopt;
    }
    return canonical;
}

std::optional<QString> ServedPaths::recording(const QString& relativePath) const {
    const std::optional<QString> path = resolve(relativePath);
    if (!path || !path->endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive) || !QFileInfo(*path).isFile()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ServedPaths::archiveFolder(const QString& relativePath) const {
    if (!isArchiveRootName(relativePath.section(QLatin1Char('/'), 0, 0))) {
        return std::nullopt;
    }
    const std::optional<QString> path = resolve(relativePath);
    if (!path || !QFileInfo(*path).isDir()) {
        return std::nullopt;
    }
    return path;
}

} // namespace kestrova
