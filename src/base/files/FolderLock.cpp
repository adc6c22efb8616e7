#include "base/files/FolderLock.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {
bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Says who holds the folder, for a person who looks; the lock itself is the system's.
void writeOwner(int descriptor) {
    const QByteArray owner = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (::ftruncate(descriptor, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(descriptor, owner.constData(), owner.size(), 0);
    }
}
} // namespace

FolderLock::FolderLock(const QString& folder) : path_(QDir(folder).filePath(lockFileName())) {}

FolderLock::~FolderLock() {
    // The file stays: removing it could remove another program's lock file that
    // took its place, and an unlocked file is simply taken again.
    forget();
}

FolderLock::Result FolderLock::tryLock() {
    if (descriptor_ >= 0 && stillHeld()) {
        return Result::Locked;
    }
    forget();
    // Never through a link, never blocking on something that is no plain file.
    const int descriptor = ::open(QFile::encodeName(path_).constData(),
                                  O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (descriptor < 0) {
        unprotected_ = !everHeld_;
        return Result::Unavailable;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        unprotected_ = !everHeld_;
        return Result::Unavailable;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const bool heldByOther = errno == EWOULDBLOCK;
        ::close(descriptor);
        unprotected_ = !heldByOther && !everHeld_;
        return heldByOther ? Result::HeldByOther : Result::Unavailable;
    }
    descriptor_ = descriptor;
    unprotected_ = false;
    everHeld_ = true;
    writeOwner(descriptor_);
    return Result::Locked;
}

bool FolderLock::stillHeld() const {
    if (descriptor_ < 0) {
        return unprotected_;
    }
    struct stat held {};
    struct stat onDisk {};
    return ::fstat(descriptor_, &held) == 0 && held.st_nlink > 0 &&
           ::stat(QFile::encodeName(path_).constData(), &onDisk) == 0 && sameFile(held, onDisk);
}

void FolderLock::forget() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

} // namespace kestrova
