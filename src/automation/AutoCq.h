#pragma once

#include "common/RepeatingTimer.h"

class QString;

namespace kestrova {

class Services;

// Auto-CQ: sends the chosen sound file again and again with a pause between the
// transmissions, and the squelch watch that stops it when the channel is in use.
class AutoCq {
public:
    explicit AutoCq(Services& program);

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();

    // Left button starts and stops; any other button asks for another file.
    void lblCQ_MouseDown(int button, int shift, int x, int y);
    void cmd_PAPA_Click();
    void startCq();
    void stopCq();
    // End of the air time plus one second: the pause begins.
    void tmrCQ_Timer();
    // End of the pause: the next transmission begins.
    void tmrCQ_PAUSE_Timer();

    void tmrRSP_Timer();
    void squelchWatch();
    void abortCq();

    // Every reading of the settings ends a running cycle and switches the watch off.
    void haltForSettings();

    // tmrCQ: the play length plus one second, in whole milliseconds.
    int airTimeInterval() const;

    // Past the air time, how long the player's end of the file is waited for: the
    // output latency of a sound server can exceed a second. Checked in short steps.
    static constexpr int kEndAllowanceMs = 3000;
    static constexpr int kEndCheckMs = 100;

    // Nothing of Auto-CQ ticks once the program has ended.
    void stopTimers();

    // The settings' pause between two transmissions; false, and the pause as it
    // was, for one no timer takes.
    bool setCqPause(long long milliseconds);

    // For the tests, which look at the timer but never drive it.
    const QTimer& cqPauseTimer() const { return tmrCQ_PAUSE; }

    RepeatingTimer tmrCQ{"tmrCQ", 1000};
    // The squelch watch.
    RepeatingTimer tmrRSP{"tmrRSP", 100};

private:
    void connectTimers();
    void switchSquelchWatch();
    // Keys the transmitter and plays the sound window's file; false, un-keyed, when it does not play.
    bool playKeyed();
    // Ends the cycle, or does not start it, with a message that waits for nobody.
    void reportUnplayable(const QString& path, const QString& reason);

    Services& program_;
    RepeatingTimer tmrCQ_PAUSE{"tmrCQ_PAUSE", 6000};
    int airInterval_ = 1000;
    // Steps of kEndCheckMs taken past the air time so far.
    int endChecks_ = 0;
};

} // namespace kestrova
