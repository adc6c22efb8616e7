#pragma once

namespace kestrova {

class Program;

// Auto-CQ: sends the chosen sound file again and again with a pause between the
// transmissions, and the squelch watch that stops it when the channel is in use.
class AutoCq {
public:
    explicit AutoCq(Program& program);

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

private:
    void switchSquelchWatch();

    Program& program_;
};

} // namespace kestrova
