#pragma once

#include "common/RepeatingTimer.h"
#include "player/LevelTable.h"
#include "player/LoadedFile.h"
#include "player/PlaybackState.h"
#include "player/SoundWindowView.h"
#include "player/SpeedCopies.h"
#include "player/WaveHeader.h"

#include <QString>
#include <functional>

class QFile;

namespace kestrova {

class Services;
class CommandDevice;
struct CommandResult;

// What the player asks of the recording list, which sits above it; the program
// connects it.
struct PlayerListCalls {
    std::function<QString(int row)> entryPath;
    // The list's left-button press and release on its current entry.
    std::function<void()> pressEntry;
    std::function<void()> releaseEntry;
};

// The sound window's player: the header of its file and playback through the
// "waveplayfile" device, positions in millionths of the play length.
class Player {
public:
    explicit Player(Services& program);

    PlayerListCalls listCalls;

    // Connects the controls this subsystem handles; called once the forms exist.
    void connectControls();

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

    bool playing() const { return playback_.playing; }
    long long playLength() const { return playback_.playLength; }
    long long startPos() const { return playback_.startPos; }
    // Where the next start at normal speed begins, in millionths.
    void setStartPos(long long millionths) { playback_.startPos = millionths; }
    long long pos() const { return playback_.pos; }

    const LevelTable& levelTable() const { return view_.levelTable(); }
    double meterPeak() const { return view_.meterPeak(); }

    bool checkWaveHeader(const QString& path);
    // True when the header passed.
    bool readWaveHeader(const QString& path);
    void openWaveFileDialog();

    void startPlayback();
    void stopPlayback();
    void tmrplaywave_Timer();

    void slider_MouseDown(int button, int shift, int x, int y);
    void slider_Scroll();
    // Only the user's moves seek; the timer setting the value must not.
    void slider_Action(int action);
    void slider_MouseUp(int button, int shift, int x, int y);
    void frx1_MouseDown(int button, int shift, int x, int y);
    void cmd_Unterbrechen_MouseDown(int button, int shift, int x, int y);
    void cmd_Unterbrechen_MouseUp(int button, int shift, int x, int y);
    // The stop button's press, release and click, in the order the handlers expect.
    void connectStopButton();
    void cmdStop_MouseDown(int button, int shift, int x, int y);
    void cmdStop_MouseUp(int button, int shift, int x, int y);
    void cmdStop_Click();
    void tmr_Focus_Timer();
    void ed1_KeyDown(int keyCode, int shift);
    void ed1_KeyUp(int keyCode, int shift);
    void tmr1_Timer();

    // Speeds: the normal-speed pair restarts the window's file from startPos; the
    // faster ones play rx.wav, a copy with a higher sample rate, from pos.
    void lblFreqNorm_MouseDown(int button, int shift, int x, int y);
    void lblFreqNorm_MouseUp(int button, int shift, int x, int y);
    void lblFreq1_MouseDown(int button, int shift, int x, int y);
    void lblFreq1_MouseUp(int button, int shift, int x, int y);
    void lblFreq2_MouseDown(int button, int shift, int x, int y);
    void lblFreq2_MouseUp(int button, int shift, int x, int y);
    void lblFreq3_MouseDown(int button, int shift, int x, int y);
    void lblFreq3_MouseUp(int button, int shift, int x, int y);
    void reloadPlayerFile();
    void playNextInList();
    void tmr_NachStop_Timer();
    // Where the faster copies are written.
    QString rxWavePath() const;

    // The sound window's file: makes currentFile the window's file.
    void loadPlayerFile();
    // Stops, reads the header of currentFile and loads it: the common step of the
    // file dialog, the recording list and continuous play.
    void loadCurrentFile();
    void showLoadedFile();
    // The file at path was deleted: when it is the window's file, the window
    // forgets it and shows no file, rather than a name and waveform that no
    // longer play.
    void closeDeletedFile(const QString& path);
    void updatePlaybackMeter();
    // The file dialog opened from the main window's "Sounds" label.
    void lbl_LoadWave_MouseDown(int button, int shift, int x, int y);
    void lbl_LoadWave_MouseMove(int button, int shift, int x, int y);
    void tmr2_Timer();
    void cmd_Os_Zurück_Click();

    // Width of frx1 as far as seeking by a click is concerned.
    static constexpr int kSeekWidth = 290;

    // Nothing of the player ticks once the program has ended.
    void stopTimers();

    // Moves the sound window's slider and meter along with the playback.
    RepeatingTimer tmrplaywave{"tmrplaywave", 100};
    // Gives the sound window's key field the focus while the sound plays.
    RepeatingTimer tmr_Focus{"tmr_Focus", 200};
    // Starts a freshly loaded file at normal speed, once.
    RepeatingTimer tmr1{"tmr1", 50};
    // Loads the file chosen in the dialog once the dialog is gone, once.
    RepeatingTimer tmr2{"tmr2", 50};
    // Continuous play: the next entry of the list once the playback has stopped.
    RepeatingTimer tmr_NachStop{"tmr_NachStop", 50};
    // Never started and handles no tick; kept under its name with the others.
    RepeatingTimer tmr_Play{"tmr_Play", 1000};

private:
    // A position of this many millionths is the end of the play length.
    static constexpr long long kMillionths = 1'000'000;

    void connectTimers();
    void connectSlider();
    void connectKeyField();
    void connectSpeedLabels();
    CommandDevice& device();
    CommandResult send(const QString& command);
    // False when the device refused the seek or the play.
    bool seekAndPlay(long long milliseconds);
    void playbackFailed(const QString& message);
    bool deviceStoppedEarly(long long position);
    // Moves the slider and meter to the polled position; ends the playback at its end
    // or when the device gave up.
    void followPosition(long long milliseconds);
    long long sliderMilliseconds() const;
    bool passHeader(WaveHeaderVerdict verdict);
    // readWaveHeader for the read a load repeats.
    bool readWaveHeaderAgain(const QString& path);
    bool acceptHeader(const QString& path);
    // loadPlayerFile; `headerJustRead` when the caller read the header of currentFile
    // right before, so the load need not parse it again.
    void loadWindowFile(bool headerJustRead);
    void pressFasterLabel(int speed);
    void releaseFasterLabel(int speed);
    // Shows the dialog (from `startFolder`, or wherever it likes when empty) and
    // puts the chosen path, or nothing, into currentFile.
    void chooseWaveFile(const QString& startFolder);
    // Says so when a file whose header passed still cannot be played.
    void refuseUnplayableFile(const QString& path);
    // The copies are made from a file whose header passed; anything else leaves none.
    void prepareSpeedCopies(bool headerPassed);
    void drawWaveform(QFile* samples);
    void buildLevelTable(QFile* samples);

    Services& program_;
    LoadedFile file_;
    PlaybackState playback_;
    SpeedCopies speeds_;
    SoundWindowView view_;
};

} // namespace kestrova
