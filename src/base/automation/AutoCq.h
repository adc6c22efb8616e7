#pragma once

#include "base/common/RepeatingTimer.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kestrova {

class Playback;
class SoundFileLoader;
class SpeedLabels;
class Transmitter;
struct SettingsValues;

// Auto-CQ: sends the chosen sound file again and again with a pause between the
// transmissions, and the squelch watch that stops it when the channel is in use.
// It owns the cycle's state; the main window shows what it signals.
class AutoCq : public QObject {
    Q_OBJECT
public:
    AutoCq(const SettingsValues& settings, Transmitter& transmitter, Playback& playback,
           SoundFileLoader& loader, SpeedLabels& speeds);

    // Starts the cycle when it is off and stops it when it runs; without a file it
    // only asks for one (lblCQ_MouseDown with the left button, cmd_PAPA_Click).
    void toggleCycle();
    // Asks for another file; a running cycle goes on (lblCQ_MouseDown with any other button).
    void chooseOtherFile();
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

    // The Auto-CQ button as shown: pressed while a cycle runs.
    bool cqPressed() const { return cqPressed_; }

    // The sound window's volume slider, as the user or the program left it; it
    // runs upside down, 0 is full volume. A cycle starts at this volume.
    void setVolumePosition(int position) { volumePosition_ = position; }
    // The settings form's transmitter control box, saved or not: the watch runs with it.
    void setTxControlBox(bool checked) { txControlBox_ = checked; }

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

    // For the tests, which look at the timers but never drive them.
    const QTimer& airTimer() const { return tmrCQ; }
    const QTimer& cqPauseTimer() const { return tmrCQ_PAUSE; }
    const QTimer& squelchWatchTimer() const { return tmrRSP; }

signals:
    // No file chosen yet: the sound window's file dialog (the main window's "Sounds"
    // label) loads the one the user chooses, before this returns.
    void soundFileWanted();
    // The file the sound window loads next.
    void playerFileChosen(const QString& path);
    // The Auto-CQ button shown pressed (a cycle started) or released.
    void cqChanged(bool pressed);
    // The squelch label beside the button, shown while a cycle runs.
    void squelchLabelShown(bool shown);
    // "Papagei" while the channel is free, "TX_Mic" while it is in use.
    void squelchTextChanged(const QString& text);
    // The watch found the channel in use: the label greys, the button takes clicks again.
    void cqAborted();
    // For the status bar.
    void notice(const QString& text);

private:
    void connectTimers();
    void switchSquelchWatch();
    void showCq(bool pressed);
    // The slider's position; before the first the controls hand in, and after a
    // reading of the settings (which moves the slider unheard), the settings line's.
    int volumePosition() const;
    // True, with a notice, for a file that cannot be sent.
    bool refusedBeforeLoading(const QString& file);
    // One transmission of the sound window's file at normal speed; false, un-keyed,
    // when nothing went out.
    bool sendOnce(const QString& file);
    // Keys the transmitter and plays the sound window's file; false, un-keyed, when it does not play.
    bool playKeyed();
    // True, and the cycle ended as the watch ends it, when the watch runs and finds the channel in use.
    bool channelFoundInUse();
    bool channelInUse();
    void stopForChannelInUse();
    bool playing() const;
    // Ends the cycle, or does not start it, with a message that waits for nobody.
    void reportUnplayable(const QString& path, const QString& reason);

    const SettingsValues& settings_;
    Transmitter& transmitter_;
    Playback& playback_;
    SoundFileLoader& loader_;
    SpeedLabels& speeds_;
    RepeatingTimer tmrCQ{"tmrCQ", 1000};
    RepeatingTimer tmrCQ_PAUSE{"tmrCQ_PAUSE", 6000};
    // The squelch watch.
    RepeatingTimer tmrRSP{"tmrRSP", 100};
    bool cqPressed_ = false;
    bool txControlBox_ = false;
    std::optional<int> volumePosition_;
    int airInterval_ = 1000;
    // Steps of kEndCheckMs taken past the air time so far.
    int endChecks_ = 0;
};

} // namespace kestrova
