#pragma once

#include <QString>
#include <memory>

class QFile;

namespace kestrova {

enum class RegularFileTrouble { None, Missing, NotAFile, Unreadable };

struct RegularFileOpen {
    std::unique_ptr<QFile> file; // open for reading; null when refused
    QString error;               // German, for the user
    RegularFileTrouble trouble = RegularFileTrouble::None;
};

// Opens a file for reading only when it is a plain file. A FIFO would block the
// open or the reads, and opening a serial device raises its control lines (and
// with them the transmitter's push-to-talk), so those are refused before any open;
// the open itself does not wait, and what was opened is checked once more.
RegularFileOpen openRegularFile(const QString& path);

// Copies a plain file (opened as above) to a new file that replaces `to` only once
// it is on the disk whole; false, with `to` unchanged, when anything fails.
bool copyRegularFile(const QString& from, const QString& to);

// True when both are plain files of the same bytes: the sizes are compared first,
// the contents only when they agree.
bool haveSameContent(const QString& first, const QString& second);

} // namespace kestrova
