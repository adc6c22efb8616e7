#pragma once

#include "base/player/ContinuousPlay.h"
#include "base/player/LevelTable.h"
#include "base/player/PlayerListCalls.h"
#include "base/player/PlayerParts.h"
#include "gui/player/SoundWindowControls.h"
#include "gui/player/SoundWindowView.h"

#include <QObject>
#include <QString>

namespace kestrova {

class Services;
struct Forms;

// The sound window's player: the circuit's player parts shown on the sound window,
// with what only the window has (continuous play through the list, the controls);
// what the rest of the program calls. Positions are in millionths of the play length.
class Player {
public:
    // What it asks of the recording list above it comes with it.
    Player(Services& program, const Forms& forms, PlayerParts& parts, PlayerListCalls listCalls);

    PlayerListRows listRows;

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();
    // Makes the sound window and shows the playback on it, then loads its file.
    void loadSoundWindow();

    // The file the next load or start is about; the list, the dialogs and Auto-CQ name it here.
    const QString& currentFile() const { return file().current(); }
    void setCurrentFile(const QString& path) { parts_.file().setCurrent(path); }
    // The file whose header last passed: the one playback opens.
    const QString& loadedFile() const { return file().loaded(); }
    // The file last made the window's file; normal speed plays it again.
    const QString& originalFile() const { return file().original(); }
    const WaveInfo& waveInfo() const { return file().info(); }
    const QString& playSecondsText() const { return file().playSecondsText(); }

    bool playing() const { return playback().state().playing; }
    long long playLength() const { return playback().state().playLength; }
    long long startPos() const { return playback().state().startPos; }
    // Where the next start at normal speed begins, in millionths.
    void setStartPos(long long millionths) { playback().state().startPos = millionths; }
    long long pos() const { return playback().state().pos; }

    const LevelTable& levelTable() const { return playback().levelTable(); }
    double meterPeak() const { return playback().meterPeak(); }

    // True when the header passed.
    bool readWaveHeader(const QString& path) { return loader().readWaveHeader(path); }
    // The sound window's file: makes currentFile the window's file.
    void loadPlayerFile() { loader().loadPlayerFile(); }
    // Stops, reads the header of currentFile and loads it.
    void loadCurrentFile() { loader().loadCurrentFile(); }
    // The file at path was deleted: the window forgets it when it is the window's file.
    void closeDeletedFile(const QString& path) { loader().closeDeletedFile(path); }
    // The file dialog; the chosen file loaded and played once it is gone.
    void chooseFileToPlay() { controls_.chooseFileToPlay(); }

    void startPlayback() { playback().startPlayback(); }
    void stopPlayback() { playback().stopPlayback(); }
    // The stop button's stop: playback halted, the push-to-talk button and the line let go.
    void stop() { parts_.stop(); }
    // Plays the list's current entry on the next tick, once the stop has gone through.
    void playAfterStop() { continuous_.playAfterStop(); }

    // Nothing of the player ticks once the program has ended.
    void stopTimers();

    // The parts, for each other and for the tests.
    SoundWindowView& view() { return view_; }
    PlayerParts& parts() { return parts_; }
    Playback& playback() { return parts_.playback(); }
    SoundFileLoader& loader() { return parts_.loader(); }
    SpeedLabels& speedLabels() { return parts_.speedLabels(); }
    ContinuousPlay& continuousPlay() { return continuous_; }
    SoundWindowControls& controls() { return controls_; }

private:
    const LoadedFile& file() const { return parts_.file(); }
    const Playback& playback() const { return parts_.playback(); }

    Services& program_;
    PlayerParts& parts_;
    const PlayerListCalls listCalls_;
    SoundWindowView view_;
    ContinuousPlay continuous_;
    SoundWindowControls controls_;
    // The context of what this window's player follows of the circuit's parts: gone
    // with it, while the parts live on.
    QObject followers_;
};

} // namespace kestrova
