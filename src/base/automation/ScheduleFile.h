#pragma once

#include <QByteArray>
#include <QString>

namespace kestrova {

// The three lines of the schedule file "KV.DAT"; each empty when missing.
struct Schedule {
    QString actionTime;       // mm:ss of the hour, compared after trimming
    QString actionFirstFile;  // used exactly as written
    QString actionSecondFile; // must name an existing file (trimmed) for the action to run
};

// Reads the first three lines of the file's bytes. Lines end in CR LF, LF or CR;
// the text is UTF-8 when it is valid UTF-8 and the Windows code page otherwise.
// Takes any bytes at all.
Schedule parseSchedule(const QByteArray& bytes);

// True when the clock reading hh:mm:ss falls on the minute and second of actionTime.
bool isActionSecond(const QString& clockText, const QString& actionTime);

} // namespace kestrova
