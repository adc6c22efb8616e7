#pragma once

#include "common/RepeatingTimer.h"

namespace kestrova {

class Services;
class Player;

// Continuous play: at the end of a playback the list's next entry is loaded, and a
// tick after the stop plays the list's current entry from its start.
class ContinuousPlay {
public:
    ContinuousPlay(Services& program, Player& player);

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
    Services& program_;
    Player& player_;
    RepeatingTimer tmr_NachStop{"tmr_NachStop", 50};
};

} // namespace kestrova
