#pragma once

#include "base/audio/SoundStart.h"

#include <QString>
#include <optional>

namespace kestrova {

enum class PlaybackResult { Ok, NotOpen, AlreadyOpen, CannotReadFile, BadArgument, DeviceFailed };

// Where the open file's playback stands; times in milliseconds.
struct PlaybackStatus {
    long long lengthMs = 0;
    long long positionMs = 0;
    bool playing = false;
};

// The sound window's player: one file at a time, opened by its path, played from
// a time, sought, stopped and closed. Times in milliseconds; one past the end is
// the end, a negative one is refused.
class PlaybackDevice {
public:
    virtual ~PlaybackDevice() = default;

    virtual PlaybackResult open(const QString& path) = 0;
    // Stops the sound and stands at `milliseconds`.
    virtual PlaybackResult seek(long long milliseconds) = 0;
    virtual PlaybackResult play(long long fromMilliseconds, SoundStart soundStart) = 0;
    // Stops the sound and keeps the position and the file.
    virtual PlaybackResult stop() = 0;
    virtual PlaybackResult close() = 0;
    // Nothing while no file is open.
    virtual std::optional<PlaybackStatus> status() = 0;
};

} // namespace kestrova
