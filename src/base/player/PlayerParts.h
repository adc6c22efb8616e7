#pragma once

#include "base/platform/Platform.h"
#include "base/player/LoadedFile.h"
#include "base/player/Playback.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/SpeedLabels.h"

#include <QString>

namespace kestrova {

class Transmitter;

// The player without a window: the file it is about, the playback, the loading and
// the faster copies, wired to each other once. Auto-CQ, the timed actions and the
// sound window all drive these same parts.
class PlayerParts {
public:
    // The faster copies are written into `programFolder`; playback keys through `transmitter`.
    PlayerParts(const Platform& platform, Transmitter& transmitter, QString programFolder);
    PlayerParts(const PlayerParts&) = delete;
    PlayerParts& operator=(const PlayerParts&) = delete;

    LoadedFile& file() { return file_; }
    const LoadedFile& file() const { return file_; }
    Playback& playback() { return playback_; }
    const Playback& playback() const { return playback_; }
    SoundFileLoader& loader() { return loader_; }
    SpeedLabels& speedLabels() { return speeds_; }

    // The stop button's stop: playback halted, the push-to-talk button and the line let go.
    void stop() { playback_.stop(); }
    // Nothing of the player ticks once the program has ended.
    void stopTimers();

private:
    const QString programFolder_;
    LoadedFile file_;
    Playback playback_;
    SoundFileLoader loader_;
    SpeedLabels speeds_;
};

} // namespace kestrova
