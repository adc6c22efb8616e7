#pragma once

#include <QStringList>

namespace kestrova {

// The recordings below a documentation folder that no manifest holds, though the
// program kept them: an entry whose hash or append failed. Only plain files with a
// recording's name, in D/w or in the dated folder their name gives, count; anything
// else there is for --verify to report, not to be entered. Full paths, oldest first,
// one copy a recording (the dated one when there is one, as when it was kept).
// Without any manifest yet, all of them: recordings older than the first manifest
// would otherwise stay in none.
QStringList recordingsWithoutEntry(const QString& docFolder);

} // namespace kestrova
