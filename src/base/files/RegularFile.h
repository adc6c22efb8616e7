#pragma once

#include <QString>
#include <memory>

class QFile;

namespace kestrova {

enum class RegularFileTrouble { None, Missing, NotAFile, Unreadable, TooLarge };

struct RegularFileOpen {
    std::unique_ptr<QFile> file; // open for reading; null when refused
    QString error;               // German, for the user
    RegularFileTrouble trouble = RegularFileTrouble::None;
};

// An open descriptor, closed with the object.
class RegularDescriptor {
public:
    explicit RegularDescriptor(int descriptor = -1, RegularFileTrouble trouble = RegularFileTrouble::None)
        : descriptor_(descriptor), trouble_(trouble) {}
    ~RegularDescriptor();
    RegularDescriptor(RegularDescriptor&& other) noexcept;
    RegularDescriptor& operator=(RegularDescriptor&&) = delete;
    RegularDescriptor(const RegularDescriptor&) = delete;
    RegularDescriptor& operator=(const RegularDescriptor&) = delete;

    int get() const { return descriptor_; }
    bool isOpen() const { return descriptor_ >= 0; }
    RegularFileTrouble trouble() const { return trouble_; }
    // Hands the descriptor over to the caller.
    int release();
    // Closing reports the last write errors of some file systems.
    bool close();

private:
    int descriptor_;
    RegularFileTrouble trouble_;
};

enum class RegularFileAccess { Read, Append };

// The one rule by which a file is opened for reading or appending: only a plain
// file, never through a link as its last part (a link planted there would lead
// reads and appends to any file), and never waiting. A FIFO would block the open
// or the reads, and opening a serial device raises its control lines (and with
// them the transmitter's push-to-talk), so those are refused before any open; what
// was opened is checked once more. Appending makes a missing file; a file larger
// than byteLimit (when not negative) is refused for reading.
RegularDescriptor openRegularDescriptor(const QString& path, RegularFileAccess access, qint64 byteLimit = -1);

// Opens a file for reading by the rule above.
RegularFileOpen openRegularFile(const QString& path, qint64 byteLimit = -1);

// Copies a plain file (opened as above) to a new file that replaces `to` only once
// it is on the disk whole; false, with `to` unchanged, when anything fails.
bool copyRegularFile(const QString& from, const QString& to);

// True when both are plain files of the same bytes: the sizes are compared first,
// the contents only when they agree.
bool haveSameContent(const QString& first, const QString& second);

} // namespace kestrova
