#pragma once

#include "player/LevelTable.h"
#include "player/WaveHeader.h"

#include <QString>

namespace kestrova {

class Program;
class CommandDevice;
class LabelButton;
struct CommandResult;

// The sound window's player: the header of its file and playback through the
// "waveplayfile" device, positions in millionths of the play length.
class Player {
public:
    explicit Player(Program& program);

    void loadSoundWindow();

    bool checkWaveHeader(const QString& path);
    // True when the header passed.
    bool readWaveHeader(const QString& path);
    void openWaveFileDialog();

    void startPlayback();
    void stopPlayback();
    void tmrplaywave_Timer();

    void slider_MouseDown(int button, int shift, int x, int y);
    void slider_Scroll();
    void slider_MouseUp(int button, int shift, int x, int y);
    void frx1_MouseDown(int button, int shift, int x, int y);
    void cmd_Unterbrechen_MouseDown(int button, int shift, int x, int y);
    void cmd_Unterbrechen_MouseUp(int button, int shift, int x, int y);
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
    void prepareSpeedCopies();
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
    void drawWaveform();
    void buildLevelTable();
    void updatePlaybackMeter();
    // The file dialog opened from the main window's "Sounds" label.
    void lbl_LoadWave_MouseDown(int button, int shift, int x, int y);
    void lbl_LoadWave_MouseMove(int button, int shift, int x, int y);
    void tmr2_Timer();
    void cmd_Os_Zurück_Click();

    // Width of frx1 as far as seeking by a click is concerned.
    static constexpr int kSeekWidth = 290;

    bool playing = false;
    long long Play_Len = 0;
    long long startPos = 0;
    long long pos = 0;
    QString currentFile;
    QString loadedFile;
    // The file last made the window's file; normal speed plays it again.
    QString originalFile;
    WaveInfo waveInfo;
    QString playSecondsText;
    LevelTable levelTable;
    // What the level bar shows; it only ever decays, never resets.
    double meterPeak = 0;

private:
    CommandDevice& device();
    CommandResult send(const QString& command);
    // False when the device refused the seek or the play.
    bool seekAndPlay(long long milliseconds);
    void playbackFailed(const QString& message);
    bool deviceStoppedEarly(long long position);
    long long sliderMilliseconds() const;
    void setSlider(long long value);
    void setMainWindowEnabled(bool enabled);
    void showSpeedPressed(LabelButton* pressed);
    void pressFasterLabel(LabelButton* label);
    void releaseFasterLabel(int speed);
    // Shows the dialog (from `startFolder`, or wherever it likes when empty) and
    // puts the chosen path, or nothing, into currentFile.
    void chooseWaveFile(const QString& startFolder);
    // Says so when a file whose header passed still cannot be played.
    void refuseUnplayableFile(const QString& path);

    Program& program_;
    // The file the faster copies are made of; empty when it could not be read.
    QString speedSource_;
    // The position of the last poll, in ms; -1 after a start.
    long long lastPolledPos_ = -1;
    // Held by the pause button: the device stands still on purpose.
    bool paused_ = false;
};

} // namespace kestrova
