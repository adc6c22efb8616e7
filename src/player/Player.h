#pragma once

#include "player/WaveHeader.h"

#include <QString>

namespace kestrova {

class Program;
class CommandDevice;
struct CommandResult;

// The sound window's player: the header of its file and playback through the
// "waveplayfile" device, positions in millionths of the play length.
class Player {
public:
    explicit Player(Program& program);

    void loadSoundWindow();

    bool checkWaveHeader(const QString& path);
    void readWaveHeader(const QString& path);
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

    void lblFreqNorm_MouseDown(int button, int shift, int x, int y);
    void lblFreqNorm_MouseUp(int button, int shift, int x, int y);
    void playNextInList();
    void updatePlaybackMeter();
    // The sound window's file: makes currentFile the window's file.
    void loadPlayerFile();
    // The file dialog opened from the main window's "Sounds" label.
    void lbl_LoadWave_MouseDown(int button, int shift, int x, int y);

    // Width of frx1 as far as seeking by a click is concerned.
    static constexpr int kSeekWidth = 290;

    bool playing = false;
    long long Play_Len = 0;
    long long startPos = 0;
    long long pos = 0;
    QString currentFile;
    QString loadedFile;
    WaveInfo waveInfo;
    QString playSecondsText;

private:
    CommandDevice& device();
    CommandResult send(const QString& command);
    void seekAndPlay(long long milliseconds);
    long long sliderMilliseconds() const;
    void setSlider(long long value);

    Program& program_;
};

} // namespace kestrova
