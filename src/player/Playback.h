#pragma once

#include "common/RepeatingTimer.h"
#include "player/PlaybackState.h"

class QString;

namespace kestrova {

class Services;
class Player;
class SoundWindowView;
class CommandDevice;
struct CommandResult;

// Playback of the sound window's file through the "waveplayfile" device: its start
// and stop, the poll that moves the slider along, the key field's focus while the
// sound plays, and the end of a playback the card refused or gave up.
class Playback {
public:
    Playback(Services& program, Player& player, SoundWindowView& view);

    const PlaybackState& state() const { return state_; }
    // The positions the controls, the loading and the speeds move.
    PlaybackState& state() { return state_; }

    void startPlayback();
    void stopPlayback();
    // False when the device refused the seek or the play.
    bool seekAndPlay(long long milliseconds);
    // The pause button: the device holds where it is, the poll and the focus rest;
    // resume() goes on from the slider.
    void pause();
    void resume();
    // Where the slider stands, in ms of the play length.
    long long sliderMilliseconds() const;

    void startFollowing() { tmrplaywave.start(); }
    void stopFollowing() { tmrplaywave.stop(); }
    void startFocusing() { tmr_Focus.start(); }
    void stopFocusing() { tmr_Focus.stop(); }
    void tmrplaywave_Timer();
    void tmr_Focus_Timer();

    // Nothing of the playback ticks once the program has ended.
    void stopTimers();

    // For the tests, which look at the timers but never drive them.
    const QTimer& followTimer() const { return tmrplaywave; }
    const QTimer& focusTimer() const { return tmr_Focus; }
    const QTimer& playTimer() const { return tmr_Play; }

private:
    CommandDevice& device();
    CommandResult send(const QString& command);
    void playbackFailed(const QString& message);
    bool deviceStoppedEarly(long long position);
    // Moves the slider and meter to the polled position; ends the playback at its end
    // or when the device gave up.
    void followPosition(long long milliseconds);

    Services& program_;
    Player& player_;
    SoundWindowView& view_;
    PlaybackState state_;
    // Moves the sound window's slider and meter along with the playback.
    RepeatingTimer tmrplaywave{"tmrplaywave", 100};
    // Gives the sound window's key field the focus while the sound plays.
    RepeatingTimer tmr_Focus{"tmr_Focus", 200};
    // Never started and handles no tick; kept under its name with the others.
    RepeatingTimer tmr_Play{"tmr_Play", 1000};
};

} // namespace kestrova
