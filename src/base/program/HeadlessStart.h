#pragma once

#include <QString>

namespace kestrova {

struct ProgramIdentity;

// The first line of the log: which program runs, and where its files are.
QString headlessStartLine(const ProgramIdentity& identity, const QString& programFolder);

} // namespace kestrova
