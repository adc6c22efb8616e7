#pragma once

#include "base/files/SafeSaveFile.h"
#include "base/settings/SettingsTable.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

// The settings file Kestrova.ini; settingsRows() says what its lines hold.
// Bytes read from the file at most.
inline constexpr qint64 kSettingsReadLimit = 64 * 1024;

QString settingsFileName();
QString settingsFilePath(const QString& programFolder);
// Beside the settings file while it holds the defaults written for a damaged file:
// until the user confirms settings of his own, old recordings are not deleted.
QString settingsGuessMarkerPath(const QString& programFolder);

enum class DefaultSet { NewFile, DamagedFile };

// All 30 lines of a default set; line 1 is the note of a created file.
QStringList defaultSettingsLines(DefaultSet set, const QString& programFolder, const QDateTime& now);

// Note written by the creation and the damaged-file rewrite, and by a save.
QString creationNote(const QString& programFolder, const QDateTime& now);
QString saveNote(const QString& programFolder, const QDateTime& now);

struct SettingsFileRead {
    std::optional<QStringList> lines; // the first 30; nothing when unreadable or short
    bool notAFile = false;            // a FIFO, a device or a folder by that name
};

// Reads a plain file only, and never waits: a FIFO by that name would block the
// start for good, beyond the reach of SIGTERM.
SettingsFileRead readSettingsFile(const QString& path);

// The first 30 lines of the file; nothing when it cannot be read or ends early.
std::optional<QStringList> readSettingsLines(const QString& path);

// The file as writeSettingsLines writes the lines.
QByteArray settingsFileBytes(const QStringList& lines);

// Writes the lines (Windows-1252, CR LF) to a new file that replaces the old one
// only once it is on the disk whole, so neither a crash nor a full disk leaves a
// truncated settings file. False, with the old file kept, when that fails.
bool writeSettingsLines(const QString& path, const QStringList& lines,
                        const FileWriteCalls& calls = systemFileWriteCalls());

// Line 8 packs the push-to-talk pin, the squelch pin with its inversion mark and
// the squelch flag into four characters, "46-0" for example.
struct PinLine {
    QString pttText;     // character 1
    QString squelchText; // characters 2 and 3
    QString activeChar;  // character 4
};
PinLine unpackPinLine(const QString& line);

struct PackedPins {
    QString line;        // the new line 8
    QString squelchText; // what the squelch field shows afterwards
    QString activeChar;  // the new squelch flag
};
PackedPins packPinLine(const QString& pttText, const QString& squelchText);

} // namespace kestrova
