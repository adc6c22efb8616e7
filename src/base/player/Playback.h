#pragma once

#include "base/common/RepeatingTimer.h"
#include "base/platform/Platform.h"
#include "base/player/LevelTable.h"
#include "base/player/PlaybackState.h"

#include <QObject>
#include <QString>

namespace kestrova {

class LoadedFile;
class Transmitter;

// Playback of the sound window's file through the player device: its start,
// stop and pause, the poll that moves the slider and the level bar along, the key
// field's focus while the sound plays, and the end of a playback the card refused or
// gave up. It owns the slider's value; the sound window shows what it signals and
// hands it the user's moves.
class Playback : public QObject {
    Q_OBJECT
public:
    // For showSpeedPressed: none of the labels; 0 is normal speed, 1 to 3 the faster ones.
    static constexpr int kNoSpeed = -1;

    Playback(const Platform& platform, Transmitter& transmitter, LoadedFile& file);

    const PlaybackState& state() const { return state_; }
    // The positions the controls, the loading and the speeds move.
    PlaybackState& state() { return state_; }

    void startPlayback();
    void stopPlayback();
    // False when the device refused the seek or the play.
    bool seekAndPlay(long long milliseconds);
    // The pause button held down and let go, both only while the sound plays: the
    // device holds where it is, the poll and the focus rest; resume() goes on from
    // the slider (cmd_Unterbrechen_MouseDown, cmd_Unterbrechen_MouseUp).
    void pause();
    void resume();
    // Where the slider stands, in ms of the play length.
    long long sliderMilliseconds() const;

    // The slider, in millionths of the play length; clamped to its range.
    void setSlider(long long value);
    int sliderValue() const { return slider_; }
    // The slider's value as the user's hand left it.
    void takeSliderValue(int value) { slider_ = value; }
    // The speed label shown pressed.
    void showSpeedPressed(int speed) { emit speedPressed(speed); }

    const LevelTable& levelTable() const { return levelTable_; }
    void setLevelTable(LevelTable table);
    // What the level bar shows; it only ever decays, never resets.
    double meterPeak() const { return meterPeak_; }
    void updatePlaybackMeter();

    // Whether the main window's recording is switched on: then the stop leaves the
    // deletion of files alone.
    void setRecorderSwitchedOn(bool on) { recorderSwitchedOn_ = on; }

    // The user takes the slider: the poll no longer moves it (slider_MouseDown).
    void beginSeeking();
    // The user moved the slider to `millionths`; only the user's moves seek (slider_Scroll).
    void seek(int millionths);
    // The user lets go of the slider: the poll follows again, and a stopped
    // playback starts from there (slider_MouseUp).
    void endSeeking();
    // The playback halts where it stands and starts from there next time; the
    // transmitter stays as it is (cmdStop_MouseDown).
    void halt();
    // The stop: halted, and the push-to-talk button and the line let go
    // (cmdStop_Click + cmdStop_MouseDown).
    void stop();
    // After a stop: the focus rests, and with the recorder off the deletion of
    // files may be used again (cmdStop_MouseUp).
    void finishStop();

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

signals:
    void playStateChanged(kestrova::PlayState state);
    void sliderChanged(int millionths);
    void levelChanged(int level);
    void speedPressed(int speed);
    // The card refused to play or gave up; `path` is the file it was asked to play.
    void failed(const QString& message, const QString& path);
    // A tick while the sound plays: the key field takes the focus, and the window
    // shows the play length.
    void focusKeyField(const QString& playSeconds);
    // Whether the main window's deletion of files may be used.
    void deletionAllowed(bool allowed);
    // The poll found the end of the file: continuous play may go on.
    void endReached();

private:
    void setPlayState(PlayState state);
    void playbackFailed(const QString& message);
    bool deviceStoppedEarly(long long position);
    // Moves the slider and meter to the polled position; ends the playback at its end
    // or when the device gave up.
    void followPosition(long long milliseconds);
    // The poll's interval for a playback that stands at `milliseconds`.
    void paceFollowing(long long milliseconds);

    const Platform platform_;
    Transmitter& transmitter_;
    LoadedFile& file_;
    PlaybackState state_;
    PlayState playState_ = PlayState::Stopped;
    int slider_ = 0;
    LevelTable levelTable_;
    double meterPeak_ = 0;
    bool recorderSwitchedOn_ = false;
    // Moves the sound window's slider and meter along with the playback.
    RepeatingTimer tmrplaywave{"tmrplaywave", 200};
    // Gives the sound window's key field the focus while the sound plays.
    RepeatingTimer tmr_Focus{"tmr_Focus", 200};
    // Never started and handles no tick; kept under its name with the others.
    RepeatingTimer tmr_Play{"tmr_Play", 1000};
};

} // namespace kestrova
