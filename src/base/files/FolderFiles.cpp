#include "base/files/FolderFiles.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

struct DescriptorCloser {
    int descriptor;
    ~DescriptorCloser() { ::close(descriptor); }
};

// The directory's entry type saves a look at the file; a link or an unknown
// type needs one, following the link as a listing of files would.
bool isRegularEntry(int folder, const dirent& entry) {
    if (entry.d_type == DT_REG) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat status {};
    return ::fstatat(folder, entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

} // namespace

FolderFiles::FolderFiles(const QString& folder)
    : descriptor_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

FolderFiles::~FolderFiles() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

void FolderFiles::forEachRegularFile(const std::function<void(const char* name)>& visit) const {
    if (descriptor_ < 0) {
        return;
    }
    // The stream gets a descriptor of its own, so this one stays for the reads.
    const int own = ::dup(descriptor_);
    if (own < 0) {
        return;
    }
    const std::unique_ptr<DIR, DirectoryCloser> directory(::fdopendir(own));
    if (!directory) {
        ::close(own);
        return;
    }
    ::rewinddir(directory.get());
    while (const dirent* entry = ::readdir(directory.get())) {
        if (isRegularEntry(descriptor_, *entry)) {
            visit(entry->d_name);
        }
    }
}

long FolderFiles::readStart(const char* name, char* buffer, long size) const {
    const int file = ::openat(descriptor_, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        return -1;
    }
    const DescriptorCloser closer{file};
    long total = 0;
    while (total < size) {
        const ssize_t got = ::read(file, buffer + total, static_cast<size_t>(size - total));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 && total == 0 ? -1 : total;
        }
        total += got;
    }
    return total;
}

} // namespace kestrova
