#include "base/files/DurableAppend.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace kestrova {

namespace {

class Descriptor {
public:
    Descriptor(const QString& path, int flags)
        : descriptor_(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0666)) {}
    ~Descriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return descriptor_; }
    bool isOpen() const { return descriptor_ >= 0; }
    // Closing reports the last write errors of some file systems.
    bool close() {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return ::close(descriptor) == 0;
    }

private:
    int descriptor_;
};

} // namespace

bool appendDurably(const QString& path, const QByteArray& bytes, const FileWriteCalls& calls) {
    const bool isNew = !QFileInfo::exists(path);
    Descriptor file(path, O_WRONLY | O_APPEND | O_CREAT);
    if (!file.isOpen() || calls.write(file.get(), bytes.constData(), bytes.size()) != bytes.size() ||
        !calls.sync(file.get()) || !file.close()) {
        return false;
    }
    if (isNew) {
        Descriptor folder(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
        return folder.isOpen() && calls.sync(folder.get());
    }
    return true;
}

} // namespace kestrova
