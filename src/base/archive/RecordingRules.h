#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace kestrova {

// The day in a name's date fields (month 3-4, day 6-7, year 9-12); a day or month
// past its end rolls on into the next. Nullopt when a field holds no number.
std::optional<QDate> dayOfName(const QString& name);

// Age in calendar days from the day of the name to today; nullopt when the name
// holds no day, and such a name never becomes due by its age.
std::optional<long long> recordingAge(const QString& name, const QDate& today);

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
