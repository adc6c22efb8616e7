#pragma once

#include "base/files/RegularDescriptor.h"

#include <QString>
#include <memory>

class QFile;

namespace kestrova {

struct RegularFileOpen {
    std::unique_ptr<QFile> file; // open as asked; null when refused
    QString error;               // German, for the user
    RegularFileTrouble trouble = RegularFileTrouble::None;
};

// Update reads and writes a file that is there, as a capture's header is mended.
enum class RegularFileAccess { Read, Append, Update };

// The one rule by which a file is opened for reading or appending: only a plain
// file, never through a link as its last part (a link planted there would lead
// reads and appends to any file), and never waiting. A FIFO would block the open
// or the reads, and opening a serial device raises its control lines (and with
// them the transmitter's push-to-talk), so those are refused before any open; what
// was opened is checked once more. Appending makes a missing file. The callers
// read no more than they need, so no file is read in whole for its size alone.
RegularDescriptor openRegularDescriptor(const QString& path, RegularFileAccess access);

// Opens a file by the rule above, for reading unless asked otherwise.
RegularFileOpen openRegularFile(const QString& path, RegularFileAccess access = RegularFileAccess::Read);

// Copies a plain file (opened as above) to a new file that replaces `to` only once
// it is on the disk whole; false, with `to` unchanged, when anything fails.
bool copyRegularFile(const QString& from, const QString& to);

// True when both are plain files of the same bytes: the sizes are compared first,
// the contents only when they agree.
bool haveSameContent(const QString& first, const QString& second);

} // namespace kestrova
