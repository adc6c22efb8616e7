#pragma once

#include <QDate>
#include <QString>

namespace kestrova {

// Age in days with 30-day months and 360-day years, from the date fields of the
// name (month 3-4, day 6-7, year 9-12) and today.
long long recordingAge(const QString& name, const QDate& today);

// A recording is kept only when strictly longer than the minimum (in tenths).
bool isLongEnough(double seconds, double minRecordLimit);

// A saved recording begins a transmission, or continues one that was split at
// the maximum length: the continuation's start lies in the recording before it.
enum class RecordingPiece : bool { Beginning, Continuation };

// Whether a recording just saved is kept: longer than the minimum, or any part of
// a split transmission after its first, which the minimum must never cut off.
bool isKeptWhenSaved(double seconds, double minRecordLimit, RecordingPiece piece);

// List entry: the name, two blanks, ten times the length with one decimal.
QString listEntryText(const QString& name, double seconds);

// True for a bare file name that cannot lead out of its folder: not empty, no
// path separators, not "." or "..".
bool isPlainFileName(const QString& name);

// True when path names an entry directly inside folder, so that a name holding
// "/" or ".." cannot lead a deletion out of it.
bool isDirectlyInside(const QString& path, const QString& folder);

} // namespace kestrova
