#pragma once

#include "base/files/SafeSaveFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace kestrova {

// Bytes a reader takes of such a file at most.
inline constexpr qint64 kNamedSettingsReadLimit = 64 * 1024;

// A settings file of named lines, "key=value", as the web page, MQTT and the command
// after each recording keep beside Kestrova.ini. Keys are read in any case; lines
// that are no setting (comments after "#" or ";", blank ones) are kept as they stand.
struct NamedSettingsFile {
    QStringList lines;
    // German, why a file of that name was not read (no plain file, say); empty when
    // it was read or there is none.
    QString readError;

    // The value of the key's last line, trimmed; empty when there is none.
    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    // Every setting in the file's order: its key in lower case, its value trimmed.
    QList<std::pair<QString, QString>> entries() const;

    // Sets key=value in place of the key's lines (an empty value removes them),
    // keeping the other lines.
    void set(const QString& key, const QString& value);
    // The file as it is written, UTF-8 with LF.
    QByteArray bytes() const;
};

// Reads a plain file only, never waits on a FIFO, and reads no more than a few
// kilobytes of it.
NamedSettingsFile readNamedSettings(const QString& path);

// Sets key=value (an empty value removes the line), keeping the file's other lines.
// False when it cannot be written, when a file of that name cannot be read (its
// other lines would be lost), or when the file would grow past what a reader takes. The file is readable by
// its owner alone from its creation on, since such files may hold passwords.
bool storeNamedSetting(const QString& path, const QString& key, const QString& value,
                       const FileWriteCalls& calls = systemFileWriteCalls());

} // namespace kestrova
