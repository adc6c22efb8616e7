#pragma once

namespace kestrova {

enum class PlayState { Stopped, Playing, Paused };

// Where playback of the sound window's file stands; positions in millionths of
// the play length, or in ms while the device plays.
struct PlaybackState {
    // A position of this many millionths is the end of the play length.
    static constexpr long long kMillionths = 1'000'000;

    bool playing = false;
    // The play length in ms as the device reported it.
    long long playLength = 0;
    // Where the next start at normal speed begins.
    long long startPos = 0;
    long long pos = 0;
    // Held by the pause button: the device stands still on purpose.
    bool paused = false;
    // The position of the last poll, in ms; -1 after a start.
    long long lastPolledPos = -1;

    // True when the position has not moved since the last poll without a pause;
    // remembers `position` for the next one.
    bool stalledAt(long long position) {
        const bool stalled = position == lastPolledPos && !paused;
        lastPolledPos = position;
        return stalled;
    }
};

} // namespace kestrova
