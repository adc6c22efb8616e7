#pragma once

#include "base/common/RepeatingTimer.h"
#include "base/platform/Platform.h"

namespace kestrova {

class LoadedFile;
class Playback;
class SoundFileLoader;
class SpeedLabels;
struct PlayerListCalls;
struct PlayerListRows;

// Continuous play: at the end of a playback the list's next entry is loaded, and a
// tick after the stop plays the list's current entry from its start.
class ContinuousPlay {
public:
    ContinuousPlay(const Platform& platform, const PlayerListCalls& list, const PlayerListRows& rows,
                   LoadedFile& file, Playback& playback, SoundFileLoader& loader, SpeedLabels& speeds);

    // The settings form's "Fortlaufend abspielen".
    void setContinuous(bool on) { continuous_ = on; }

    // Loads the next entry when continuous play is on and there is one.
    void playNextInList();
    // Plays the list's current entry on the next tick, once the stop has gone through.
    void playAfterStop() { tmr_NachStop.start(); }
    void tmr_NachStop_Timer();

    // Nothing of it ticks once the program has ended.
    void stopTimers() { tmr_NachStop.stop(); }

    // For the tests, which look at the timer but never drive it.
    const QTimer& afterStopTimer() const { return tmr_NachStop; }

private:
    const Platform platform_;
    const PlayerListCalls& list_;
    const PlayerListRows& rows_;
    LoadedFile& file_;
    Playback& playback_;
    SoundFileLoader& loader_;
    SpeedLabels& speeds_;
    bool continuous_ = false;
    RepeatingTimer tmr_NachStop{"tmr_NachStop", 50};
};

} // namespace kestrova
