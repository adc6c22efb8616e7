#pragma once

#include <QString>

namespace kestrova {

struct ProgramIdentity;

// Qt's offscreen platform for a program without a display, whatever the
// environment asks for; must run before the application object is made.
void chooseOffscreenWindowing();

// The first line of the log: which program runs, and where its files are.
QString headlessStartLine(const ProgramIdentity& identity, const QString& programFolder);

} // namespace kestrova
