#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

class Services;

// A capture's working file that a crash or power loss left behind: it holds the
// audio of the transmission that was being recorded, so it is filed like any
// finished recording at the next start.
class InterruptedCapture {
public:
    // Moves such files out of the way of the next capture; call before anything
    // can start one. Returns the paths they were moved to.
    static QStringList setAside(const QString& programFolder);
    // Completes each file's header and keeps it as a recording named after the
    // moment it started, when it is longer than the minimum. Files as well the
    // saved recordings an earlier run could not copy into D/w, and says in the
    // status bar what it filed and what is still waiting.
    static void file(Services& program, const QStringList& setAsidePaths);

private:
    // Saved recordings in the working folder, or in the documentation folder
    // where they go when the working folder refuses them.
    static QStringList leftBehind(Services& program);
};

} // namespace kestrova
