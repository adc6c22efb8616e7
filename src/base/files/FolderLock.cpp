#include "base/files/FolderLock.h"

#include <QDir>

namespace kestrova {

FolderLock::FolderLock(const QString& folder) : lock_(QDir(folder).filePath(lockFileName())) {
    // Stale only when its program has gone: a program that has run for hours
    // still holds the folder.
    lock_.setStaleLockTime(0);
}

FolderLock::Result FolderLock::tryLock() {
    if (lock_.tryLock(0)) {
        return Result::Locked;
    }
    return lock_.error() == QLockFile::LockFailedError ? Result::HeldByOther : Result::Unavailable;
}

} // namespace kestrova
