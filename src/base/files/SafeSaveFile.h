#pragma once

#include <QIODevice>
#include <QString>

namespace kestrova {

// The system calls that put a file's bytes on the disk. Tests pass their own to
// make a write fail the way a full disk does.
class FileWriteCalls {
public:
    virtual ~FileWriteCalls() = default;
    // Like write(2): bytes written, or -1.
    virtual qint64 write(int descriptor, const char* data, qint64 size) const;
    virtual bool sync(int descriptor) const;
};

// The calls of this machine.
const FileWriteCalls& systemFileWriteCalls();

// Who may read a saved file: whom the umask lets, or its owner alone. A file of
// secrets is made private as it is created, before its first byte.
enum class SavedFileAccess { AsTheUmaskAllows, OwnerOnly };

// Writes a file beside its target and puts it in the target's place only once it
// is known to be on the disk whole: synced, of the size written, and read back to
// the same bytes. Until then the old file stays as it was. Takes QSaveFile's place,
// whose commit() can report success after its last write failed.
class SafeSaveFile final : public QIODevice {
public:
    explicit SafeSaveFile(QString target, const FileWriteCalls& calls = systemFileWriteCalls(),
                          SavedFileAccess access = SavedFileAccess::AsTheUmaskAllows);
    ~SafeSaveFile() override;
    SafeSaveFile(const SafeSaveFile&) = delete;
    SafeSaveFile& operator=(const SafeSaveFile&) = delete;

    // Write only; creates the file beside the target.
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }
    // Closing without commit() drops what was written, as cancelWriting() does.
    void close() override;
    // Drops what was written; the target stays untouched.
    void cancelWriting();
    // Checks the written file and renames it over the target; false, with the old
    // target in place, when anything of that fails.
    bool commit();
    // From now on commit() fails rather than put the file in the place of one that is
    // there by then, even one made a moment before.
    void neverReplace() { neverReplace_ = true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool closeDescriptor();
    bool readsBackAsWritten() const;
    bool putInPlace() const;
    void discard();

    QString target_;
    QString temporary_;
    const FileWriteCalls& calls_;
    SavedFileAccess access_;
    int descriptor_ = -1;
    qint64 written_ = 0;
    bool failed_ = false;
    bool neverReplace_ = false;
    // CRC-32 of the bytes written, to compare with what reads back.
    unsigned long writtenChecksum_ = 0;
};

} // namespace kestrova
