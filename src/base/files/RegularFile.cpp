#include "base/files/RegularFile.h"

#include "base/files/SafeSaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {

constexpr qint64 kCopyBlock = 1 << 16;

RegularFileOpen notAFile() {
    return {nullptr, QStringLiteral("Das ist keine gewöhnliche Datei."), RegularFileTrouble::NotAFile};
}

bool isRegular(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

RegularFileOpen openRegularFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return {nullptr, QStringLiteral("Die Datei ist nicht vorhanden."), RegularFileTrouble::Missing};
    }
    if (!info.isFile()) {
        return notAFile();
    }
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return {nullptr, QStringLiteral("Die Datei kann nicht geöffnet werden."),
                RegularFileTrouble::Unreadable};
    }
    // The name may have been swapped for something else since the look above.
    if (!isRegular(descriptor)) {
        ::close(descriptor);
        return notAFile();
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {nullptr, QStringLiteral("Die Datei kann nicht gelesen werden."),
                RegularFileTrouble::Unreadable};
    }
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
