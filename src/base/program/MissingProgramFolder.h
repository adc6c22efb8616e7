#pragma once

#include <QString>

namespace kestrova {

// Why a command cannot write into the program folder because it is not there (a
// service's folder before its first start, or a mistyped path), in German with how
// to make it for a service; empty when the folder is there. The command does not
// make it itself: it cannot know the service user who must own it, and a mistyped
// path would quietly take settings that no program reads.
QString missingProgramFolder(const QString& programFolder);

} // namespace kestrova
