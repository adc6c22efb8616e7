#include "base/files/SafeSaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace kestrova {

namespace {
constexpr int kNameAttempts = 16;
constexpr qint64 kReadBlock = 1 << 16;

// A leading dot keeps the half-written file out of folder listings of recordings.
QString temporaryNameFor(const QString& target) {
    const QFileInfo info(target);
    const QString suffix = QString::number(QRandomGenerator::global()->generate(), 36);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QLatin1Char('.') + suffix);
}

// Makes the rename itself survive a power loss; a folder that cannot be synced
// does not undo a rename that has happened.
void syncFolderOf(const QString& path) {
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// A change on the way to the disk is what the read-back looks for, not a forger:
// CRC-32 finds every burst of up to 32 changed bits, at a small part of a hash's cost.
unsigned long checksumWith(unsigned long checksum, const char* data, qint64 size) {
    return crc32_z(checksum, reinterpret_cast<const Bytef*>(data), static_cast<z_size_t>(size));
}
} // namespace

qint64 FileWriteCalls::write(int descriptor, const char* data, qint64 size) const {
    qint64 done = 0;
    while (done < size) {
        const ssize_t step = ::write(descriptor, data + done, static_cast<size_t>(size - done));
        if (step < 0 && errno == EINTR) {
            continue;
        }
        if (step <= 0) {
            return -1;
        }
        done += step;
    }
    return done;
}

bool FileWriteCalls::sync(int descriptor) const {
    return ::fsync(descriptor) == 0;
}

const FileWriteCalls& systemFileWriteCalls() {
    static const FileWriteCalls calls;
    return calls;
}

SafeSaveFile::SafeSaveFile(QString target, const FileWriteCalls& calls, SavedFileAccess access)
    : target_(std::move(target)), calls_(calls), access_(access) {}

SafeSaveFile::~SafeSaveFile() {
    discard();
}

bool SafeSaveFile::open(OpenMode mode) {
    if (isOpen() || (mode & ReadOnly) || !(mode & WriteOnly)) {
        return false;
    }
    // The rename keeps the mode: what is private here stays private in the target's place.
    const mode_t permissions = access_ == SavedFileAccess::OwnerOnly ? 0600 : 0666;
    for (int attempt = 0; attempt < kNameAttempts && descriptor_ < 0; ++attempt) {
        temporary_ = temporaryNameFor(target_);
        descriptor_ = ::open(QFile::encodeName(temporary_).constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
        if (descriptor_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (descriptor_ < 0) {
        temporary_.clear();
        setErrorString(QStringLiteral("cannot create a file beside ") + target_);
        return false;
    }
    written_ = 0;
    failed_ = false;
    writtenChecksum_ = crc32_z(0, nullptr, 0);
    return QIODevice::open(WriteOnly | Unbuffered);
}

qint64 SafeSaveFile::readData(char* /*data*/, qint64 /*maxSize*/) {
    return -1;
}

qint64 SafeSaveFile::writeData(const char* data, qint64 size) {
    if (failed_ || descriptor_ < 0) {
        return -1;
    }
    if (calls_.write(descriptor_, data, size) != size) {
        failed_ = true;
        setErrorString(QStringLiteral("write failed: ") + temporary_);
        return -1;
    }
    writtenChecksum_ = checksumWith(writtenChecksum_, data, size);
    written_ += size;
    return size;
}

void SafeSaveFile::cancelWriting() {
    discard();
}

void SafeSaveFile::close() {
    discard();
}

bool SafeSaveFile::commit() {
    if (!isOpen() || descriptor_ < 0) {
        return false;
    }
    const bool onDisk = !failed_ && calls_.sync(descriptor_) && closeDescriptor();
    const bool whole = onDisk && QFileInfo(temporary_).size() == written_ && readsBackAsWritten();
    if (!whole || !putInPlace()) {
        setErrorString(QStringLiteral("not written whole: ") + target_);
        discard();
        return false;
    }
    temporary_.clear();
    QIODevice::close();
    syncFolderOf(target_);
    return true;
}

bool SafeSaveFile::putInPlace() const {
    const QByteArray from = QFile::encodeName(temporary_);
    const QByteArray to = QFile::encodeName(target_);
    if (!neverReplace_) {
        return ::rename(from.constData(), to.constData()) == 0;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without that rename: a second name fails on a taken one just as well.
    if (::link(from.constData(), to.constData()) != 0) {
        return false;
    }
    ::unlink(from.constData());
    return true;
}

bool SafeSaveFile::closeDescriptor() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0;
}

bool SafeSaveFile::readsBackAsWritten() const {
    QFile file(temporary_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return false;
    }
    unsigned long read = crc32_z(0, nullptr, 0);
    qint64 total = 0;
    for (;;) {
        const QByteArray block = file.read(kReadBlock);
        if (block.isEmpty()) {
            break;
        }
        read = checksumWith(read, block.constData(), block.size());
        total += block.size();
    }
    return file.error() == QFileDevice::NoError && total == written_ && read == writtenChecksum_;
}

void SafeSaveFile::discard() {
    if (descriptor_ >= 0) {
        closeDescriptor();
    }
    if (!temporary_.isEmpty()) {
        ::unlink(QFile::encodeName(temporary_).constData());
        temporary_.clear();
    }
    if (isOpen()) {
        QIODevice::close();
    }
}

} // namespace kestrova
