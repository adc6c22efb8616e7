#include "base/files/RegularFile.h"

#include "base/files/SafeSaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace kestrova {

namespace {

constexpr qint64 kCopyBlock = 1 << 16;

bool isRegular(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

// Looked at before any open: the last part of the name itself, not what it leads to.
RegularFileTrouble troubleByName(const QString& path, RegularFileAccess access) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        return RegularFileTrouble::NotAFile;
    }
    if (path.isEmpty() || !info.exists()) {
        return access == RegularFileAccess::Append && !path.isEmpty() ? RegularFileTrouble::None
                                                                      : RegularFileTrouble::Missing;
    }
    return info.isFile() ? RegularFileTrouble::None : RegularFileTrouble::NotAFile;
}

RegularFileTrouble troubleOfFailedOpen() {
    switch (errno) {
    case ENOENT:
        return RegularFileTrouble::Missing;
    case ELOOP:
    case ENXIO:
        return RegularFileTrouble::NotAFile;
    default:
        return RegularFileTrouble::Unreadable;
    }
}

int openFlags(RegularFileAccess access) {
    const int common = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    switch (access) {
    case RegularFileAccess::Read:
        return O_RDONLY | common;
    case RegularFileAccess::Update:
        return O_RDWR | common;
    default:
        return O_WRONLY | O_APPEND | O_CREAT | common;
    }
}

QIODevice::OpenMode openMode(RegularFileAccess access) {
    switch (access) {
    case RegularFileAccess::Read:
        return QIODevice::ReadOnly;
    case RegularFileAccess::Update:
        return QIODevice::ReadWrite;
    default:
        return QIODevice::WriteOnly | QIODevice::Append;
    }
}

QString troubleText(RegularFileTrouble trouble) {
    switch (trouble) {
    case RegularFileTrouble::Missing:
        return QStringLiteral("Die Datei ist nicht vorhanden.");
    case RegularFileTrouble::NotAFile:
        return QStringLiteral("Das ist keine gewöhnliche Datei.");
    default:
        return QStringLiteral("Die Datei kann nicht geöffnet werden.");
    }
}

} // namespace

RegularDescriptor openRegularDescriptor(const QString& path, RegularFileAccess access) {
    const RegularFileTrouble byName = troubleByName(path, access);
    if (byName != RegularFileTrouble::None) {
        return RegularDescriptor(-1, byName);
    }
    RegularDescriptor opened(::open(QFile::encodeName(path).constData(), openFlags(access), 0666));
    if (!opened.isOpen()) {
        return RegularDescriptor(-1, troubleOfFailedOpen());
    }
    // The name may have been swapped for something else since the look above.
    if (!isRegular(opened.get())) {
        return RegularDescriptor(-1, RegularFileTrouble::NotAFile);
    }
    return opened;
}

RegularFileOpen openRegularFile(const QString& path, RegularFileAccess access) {
    RegularDescriptor opened = openRegularDescriptor(path, access);
    if (!opened.isOpen()) {
        return {nullptr, troubleText(opened.trouble()), opened.trouble()};
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(opened.get(), openMode(access), QFileDevice::AutoCloseHandle)) {
        return {nullptr, QStringLiteral("Die Datei kann nicht gelesen werden."),
                RegularFileTrouble::Unreadable};
    }
    opened.release();
    return {std::move(file), {}, RegularFileTrouble::None};
}

bool copyRegularFile(const QString& from, const QString& to) {
    const RegularFileOpen source = openRegularFile(from);
    SafeSaveFile copy(to);
    if (!source.file || !copy.open(QIODevice::WriteOnly)) {
        return false;
    }
    while (!source.file->atEnd()) {
        const QByteArray block = source.file->read(kCopyBlock);
        if (block.isEmpty() || copy.write(block) != block.size()) {
            return false;
        }
    }
    return source.file->error() == QFileDevice::NoError && copy.commit();
}

bool haveSameContent(const QString& first, const QString& second) {
    const QFileInfo one(first);
    const QFileInfo other(second);
    if (!one.isFile() || !other.isFile() || one.size() != other.size()) {
        return false;
    }
    const RegularFileOpen left = openRegularFile(first);
    const RegularFileOpen right = openRegularFile(second);
    if (!left.file || !right.file) {
        return false;
    }
    while (!left.file->atEnd()) {
        const QByteArray block = left.file->read(kCopyBlock);
        if (block.isEmpty() || right.file->read(block.size()) != block) {
            return false;
        }
    }
    return left.file->error() == QFileDevice::NoError && right.file->atEnd();
}

} // namespace kestrova
