#pragma once

#include "base/player/ContinuousPlay.h"
#include "base/player/LevelTable.h"
#include "base/player/Playback.h"
#include "base/player/PlayerListCalls.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/SpeedLabels.h"
#include "gui/player/SoundWindowControls.h"
#include "gui/player/SoundWindowView.h"

#include <QString>

namespace kestrova {

class Services;
struct Forms;

// The sound window's player: owns its parts (the loaded file, the playback, the
// speed labels, continuous play, the controls) and is what the rest of the
// program calls. Positions are in millionths of the play length.
class Player {
public:
    // What it asks of the recording list above it comes with it.
    Player(Services& program, const Forms& forms, PlayerListCalls listCalls);

    PlayerListRows listRows;

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();
    // Makes the sound window and shows the playback on it, then loads its file.
    void loadSoundWindow();

    // The file the next load or start is about; the list, the dialogs and Auto-CQ name it here.
    const QString& currentFile() const { return file_.current(); }
    void setCurrentFile(const QString& path) { file_.setCurrent(path); }
    // The file whose header last passed: the one playback opens.
    const QString& loadedFile() const { return file_.loaded(); }
    // The file last made the window's file; normal speed plays it again.
    const QString& originalFile() const { return file_.original(); }
    const WaveInfo& waveInfo() const { return file_.info(); }
    const QString& playSecondsText() const { return file_.playSecondsText(); }

    bool playing() const { return playback_.state().playing; }
    long long playLength() const { return playback_.state().playLength; }
    long long startPos() const { return playback_.state().startPos; }
    // Where the next start at normal speed begins, in millionths.
    void setStartPos(long long millionths) { playback_.state().startPos = millionths; }
    long long pos() const { return playback_.state().pos; }

    const LevelTable& levelTable() const { return playback_.levelTable(); }
    double meterPeak() const { return playback_.meterPeak(); }

    // True when the header passed.
    bool readWaveHeader(const QString& path) { return loader_.readWaveHeader(path); }
    // The sound window's file: makes currentFile the window's file.
    void loadPlayerFile() { loader_.loadPlayerFile(); }
    // Stops, reads the header of currentFile and loads it.
    void loadCurrentFile() { loader_.loadCurrentFile(); }
    // The file at path was deleted: the window forgets it when it is the window's file.
    void closeDeletedFile(const QString& path) { loader_.closeDeletedFile(path); }
    // The file dialog; the chosen file loaded and played once it is gone.
    void chooseFileToPlay() { controls_.chooseFileToPlay(); }

    void startPlayback() { playback_.startPlayback(); }
    void stopPlayback() { playback_.stopPlayback(); }
    // The stop button's stop: playback halted, the push-to-talk button and the line let go.
    void stop() { playback_.stop(); }
    // Plays the list's current entry on the next tick, once the stop has gone through.
    void playAfterStop() { continuous_.playAfterStop(); }

    // Nothing of the player ticks once the program has ended.
    void stopTimers();

    // The parts, for each other and for the tests.
    SoundWindowView& view() { return view_; }
    Playback& playback() { return playback_; }
    SoundFileLoader& loader() { return loader_; }
    SpeedLabels& speedLabels() { return speeds_; }
    ContinuousPlay& continuousPlay() { return continuous_; }
    SoundWindowControls& controls() { return controls_; }

private:
    Services& program_;
    const PlayerListCalls listCalls_;
    LoadedFile file_;
    SoundWindowView view_;
    Playback playback_;
    SoundFileLoader loader_;
    SpeedLabels speeds_;
    ContinuousPlay continuous_;
    SoundWindowControls controls_;
};

} // namespace kestrova
