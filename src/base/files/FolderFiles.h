#pragma once

#include <QString>
#include <functional>

namespace kestrova {

// A folder read the short way, for a pass over many files: names come straight
// from the directory and files are opened relative to it, with no look at each
// one beyond what the directory itself tells. Closes the folder when destroyed.
class FolderFiles {
public:
    explicit FolderFiles(const QString& folder);
    ~FolderFiles();
    FolderFiles(const FolderFiles&) = delete;
    FolderFiles& operator=(const FolderFiles&) = delete;

    bool isOpen() const { return descriptor_ >= 0; }

    // Calls `visit` with the name of every regular file, hidden ones and symbolic
    // links to a regular file included, as the folder lists them (no order).
    void forEachRegularFile(const std::function<void(const char* name)>& visit) const;

    // Reads up to `size` bytes from the start of the named file of the folder;
    // the count read, or -1 when it cannot be opened. Never waits on a pipe.
    long readStart(const char* name, char* buffer, long size) const;

private:
    int descriptor_ = -1;
};

} // namespace kestrova
