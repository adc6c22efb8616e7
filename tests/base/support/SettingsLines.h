#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kestrova::test {

// Kestrova.ini as a user's editor leaves it, for tests that start from a file.

// A new file's lines for the program folder, some replaced (line numbers from 1).
QStringList newSettingsLines(const QString& programFolder, const QDateTime& now,
                             const QList<QPair<int, QString>>& changes = {});
// Writes the lines CR LF in Windows-1252; false when the file cannot be written.
bool writeSettingsLines(const QString& path, const QStringList& lines);
// The lines of the file, empty when there is none.
QStringList readSettingsLines(const QString& path);

} // namespace kestrova::test
