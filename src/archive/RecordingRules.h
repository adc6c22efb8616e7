#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace kestrova {

// Number of texts the length reader leaves in its header table.
inline constexpr int kHeaderFieldCount = 13;

// The dated archive folder of a recording, "D/Fk_F/Ja_YYYY/Mo-MM/Tg-DD/hh-HH",
// taken from the fixed character positions of its name.
QString datedArchiveFolder(const QString& docFolder, const QString& name);

// The moment in a name "F_MM-DD-YYYY_hh-mm-ss.wav" as a clock reading without a
// zone, so the hour the clock repeats in autumn is a plain hour here; nullopt
// for any other name.
std::optional<QDateTime> recordingMoment(const QString& name);

// The name of the same circuit one second later; nullopt for a name that is not
// a recording's.
std::optional<QString> nameOneSecondLater(const QString& name);

// The moment in a name as a number that orders names as their moments do
// (YYYYMMDDhhmmss); nullopt exactly where recordingMoment gives nullopt. Cheap
// enough to key a sort over many names.
std::optional<qint64> recordingMomentKey(QStringView name);

// List order: by the moment in the name, year first, so December comes before
// the January after it. Names that are not a recording's come first, by name.
void sortAsListed(QStringList& names);

// Length in seconds read from the fixed offsets that the capture device writes
// (RIFF header, format chunk of 16 or 18 bytes, data chunk right after it). The
// fields read are left as texts in headerFields (13 entries, empty where the file
// had no bytes for them). 0 for anything unreadable, short or of another layout.
// It does not walk the chunks like the WAV reader does, on purpose: the retention
// rules and the list lengths depend on exactly these offsets, so a recording with
// another layout counts as 0 seconds and is deleted.
double readRecordingLength(const QString& path, QStringList& headerFields);

// Number of bytes of a recording's start that its length is read from.
inline constexpr int kRecordingHeaderBytes = 50;

// The length as readRecordingLength gives it, from the first bytes of a file
// (up to kRecordingHeaderBytes), without making the header texts.
double recordingLengthOf(const char* header, qsizetype size);

// Age in days with 30-day months and 360-day years, from the date fields of the
// name (month 3-4, day 6-7, year 9-12) and today.
long long recordingAge(const QString& name, const QDate& today);

// A recording is kept only when strictly longer than the minimum (in tenths).
bool isLongEnough(double seconds, double minRecordLimit);

// List entry: the name, two blanks, ten times the length with one decimal.
QString listEntryText(const QString& name, double seconds);

// True for a bare file name that cannot lead out of its folder: not empty, no
// path separators, not "." or "..".
bool isPlainFileName(const QString& name);

// True when path names an entry directly inside folder, so that a name holding
// "/" or ".." cannot lead a deletion out of it.
bool isDirectlyInside(const QString& path, const QString& folder);

} // namespace kestrova
