#include "base/files/DurableAppend.h"

#include "base/files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace kestrova {

namespace {

class FolderDescriptor {
public:
    explicit FolderDescriptor(const QString& path, int flags)
        : descriptor_(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0666)) {}
    ~FolderDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    FolderDescriptor(const FolderDescriptor&) = delete;
    FolderDescriptor& operator=(const FolderDescriptor&) = delete;

    int get() const { return descriptor_; }
    bool isOpen() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

} // namespace

bool appendDurably(const QString& path, const QByteArray& bytes, const FileWriteCalls& calls) {
    const bool isNew = !QFileInfo::exists(path);
    RegularDescriptor file = openRegularDescriptor(path, RegularFileAccess::Append);
    if (!file.isOpen() || calls.write(file.get(), bytes.constData(), bytes.size()) != bytes.size() ||
        !calls.sync(file.get()) || !file.close()) {
        return false;
    }
    if (isNew) {
        FolderDescriptor folder(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
        return folder.isOpen() && calls.sync(folder.get());
    }
    return true;
}

} // namespace kestrova
