#pragma once

#include <QString>

namespace kestrova {

// Keeps a second program away from a program folder that one already uses: both
// would take the other's working capture for one left by a crash. The lock is the
// system's lock on the open lock file, so it ends with its program however that
// ends, and a lock file left by a crash is simply taken again.
class FolderLock {
public:
    enum class Result { Locked, HeldByOther, Unavailable };

    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Unavailable: the folder cannot hold a lock file (read-only, say); the
    // program runs on unprotected rather than not at all. Taking a lock this
    // program holds already is Locked.
    Result tryLock();
    // False once the lock file in the folder is no longer the one this program
    // locked: the folder was deleted or replaced, and another program may hold it
    // now. True while locked, and for a program running unprotected.
    bool stillHeld() const;
    // Lets go of a lock that is no longer held, without touching the folder,
    // which may be another program's now; a later tryLock may take it again.
    void forget();

    static QString lockFileName() { return QStringLiteral("Kestrova.lock"); }

private:
    QString path_;
    int descriptor_ = -1;
    bool unprotected_ = false;
    // Once held, a folder that cannot be locked again (it is gone) is lost, not unprotected.
    bool everHeld_ = false;
};

} // namespace kestrova
