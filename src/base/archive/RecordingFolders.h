#pragma once

#include <QString>
#include <optional>

namespace kestrova {

// The recordings folder below a documentation folder. It has always been named
// "w" or "W"; on file systems that tell the two apart either is found, "w" first
// when both are there, and a new one is created as "W". The filing, the list, the
// manifests and the web page all take the one found here.
std::optional<QString> findRecordingsFolder(const QString& docFolder);
QString newRecordingsFolderPath(const QString& docFolder);
// Creates the folder when neither spelling exists; false when that fails.
bool ensureRecordingsFolder(const QString& docFolder);

// The name of the recordings folder as it is spelt on the disk ("w" or "W"); "W"
// when there is none yet.
QString recordingsFolderName(const QString& docFolder);
// True for either spelling.
bool isRecordingsFolderName(const QString& name);

// Where a kept recording lies: its copy in the dated archive when archiving (retention
// never deletes that one) and the copy is there, else the one in the recordings
// folder; empty without a recordings folder.
QString keptCopyPath(const QString& docFolder, const QString& name, bool archiving);

// The message for a documentation folder without recordings.
QString noRecordingsMessage(const QString& docFolder);

} // namespace kestrova
