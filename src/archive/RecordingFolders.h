#pragma once

#include <QString>
#include <optional>

namespace kestrova {

// The recordings folder below a documentation folder. It has always been named
// "w" or "W"; on file systems that tell the two apart either is found, and a new
// one is created as "W".
std::optional<QString> findRecordingsFolder(const QString& docFolder);
QString newRecordingsFolderPath(const QString& docFolder);
// Creates the folder when neither spelling exists; false when that fails.
bool ensureRecordingsFolder(const QString& docFolder);

// The message for a documentation folder without recordings.
QString noRecordingsMessage(const QString& docFolder);

} // namespace kestrova
