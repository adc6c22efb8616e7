#pragma once

#include <QLockFile>
#include <QString>

namespace kestrova {

// Keeps a second program away from a program folder that one already uses: both
// would take the other's working capture for one left by a crash. A lock whose
// program no longer runs (after a crash) is taken over.
class FolderLock {
public:
    enum class Result { Locked, HeldByOther, Unavailable };

    explicit FolderLock(const QString& folder);
    // Unavailable: the folder cannot hold a lock file (read-only, say); the
    // program runs on unprotected rather than not at all.
    Result tryLock();

    static QString lockFileName() { return QStringLiteral("Kestrova.lock"); }

private:
    QLockFile lock_;
};

} // namespace kestrova
