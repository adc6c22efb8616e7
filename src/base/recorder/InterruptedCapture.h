#pragma once

#include "base/archive/RecordingRules.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kestrova {

struct SettingsValues;

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
    // saved recordings an earlier run could not copy into D/w. `keep` is the
    // archive's filing (the path, the name, each a transmission's beginning). Returns
    // the status bar's note on what it filed and what is still waiting.
    using Keep = std::function<void(const QString& path, const QString& name, RecordingPiece piece)>;
    static QString file(const QString& programFolder, const SettingsValues& settings, const Keep& keep,
                        const QStringList& setAsidePaths);

private:
    // Saved recordings in the working folder, or in the documentation folder
    // where they go when the working folder refuses them.
    static QStringList leftBehind(const QString& programFolder, const SettingsValues& settings);
};

} // namespace kestrova
