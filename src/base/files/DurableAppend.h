#pragma once

#include "base/files/SafeSaveFile.h"

#include <QByteArray>
#include <QString>

namespace kestrova {

// Appends bytes to the end of a file (made when missing) in one write and
// returns only once they are on the disk: true when all of them are. A crash in
// between leaves at most a tail of the bytes, never anything in front of them
// changed; a file that was made is also synced into its folder.
bool appendDurably(const QString& path, const QByteArray& bytes,
                   const FileWriteCalls& calls = systemFileWriteCalls());

} // namespace kestrova
