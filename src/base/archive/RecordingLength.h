#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// The length of a recording in seconds, as the list, the retention rules, the
// filing and the web page all take it: from the fixed offsets that the capture
// device writes (RIFF header, format chunk of 16 or 18 bytes, data chunk right
// after it). It does not walk the chunks like the WAV reader does, on purpose: the
// retention rules and the list lengths depend on exactly these offsets, so a
// recording with another layout counts as 0 seconds and is deleted.

// Number of texts the length reader leaves in its header table.
inline constexpr int kHeaderFieldCount = 13;

// Number of bytes of a recording's start that its length is read from.
inline constexpr int kRecordingHeaderBytes = 50;

// The length of the file at `path`; 0 for anything unreadable, short or of another
// layout, and for anything but a plain file.
double recordingLength(const QString& path);

// The same, leaving the fields read as texts in headerFields (13 entries, empty
// where the file had no bytes for them).
double readRecordingLength(const QString& path, QStringList& headerFields);

// The length from the first bytes of a file (up to kRecordingHeaderBytes), without
// making the header texts.
double recordingLengthOf(const char* header, qsizetype size);

} // namespace kestrova
