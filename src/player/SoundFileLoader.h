#pragma once

#include "common/RepeatingTimer.h"
#include "player/LoadedFile.h"

#include <QString>

class QFile;

namespace kestrova {

class Services;
class Player;
class SoundWindowView;

// Loads a file into the sound window: the file dialog, the header check, the
// waveform and the level table, and the ticks that load and start a chosen file
// once the dialog is gone.
class SoundFileLoader {
public:
    SoundFileLoader(Services& program, Player& player, SoundWindowView& view, LoadedFile& file);

    const LoadedFile& file() const { return file_; }
    void setCurrentFile(const QString& path) { file_.setCurrent(path); }

    void loadSoundWindow();
    bool checkWaveHeader(const QString& path);
    // True when the header passed.
    bool readWaveHeader(const QString& path);
    void openWaveFileDialog();

    // The sound window's file: makes currentFile the window's file.
    void loadPlayerFile();
    // Stops, reads the header of currentFile and loads it: the common step of the
    // file dialog, the recording list and continuous play.
    void loadCurrentFile();
    // Reads currentFile again for a start at another speed.
    void reloadPlayerFile();
    void showLoadedFile();
    // The file at path was deleted: when it is the window's file, the window
    // forgets it and shows no file, rather than a name and waveform that no
    // longer play.
    void closeDeletedFile(const QString& path);

    // The file dialog opened from the main window's "Sounds" label.
    void lbl_LoadWave_MouseDown(int button, int shift, int x, int y);
    void lbl_LoadWave_MouseMove(int button, int shift, int x, int y);
    void tmr1_Timer();
    void tmr2_Timer();

    // Nothing of the loading ticks once the program has ended.
    void stopTimers();

    // For the tests, which look at the timers but never drive them.
    const QTimer& freshStartTimer() const { return tmr1; }
    const QTimer& dialogLoadTimer() const { return tmr2; }

private:
    bool passHeader(WaveHeaderVerdict verdict);
    // readWaveHeader for the read a load repeats.
    bool readWaveHeaderAgain(const QString& path);
    bool acceptHeader(const QString& path);
    // loadPlayerFile; `headerJustRead` when the caller read the header of currentFile
    // right before, so the load need not parse it again.
    void loadWindowFile(bool headerJustRead);
    // Shows the dialog (from `startFolder`, or wherever it likes when empty) and
    // puts the chosen path, or nothing, into currentFile.
    void chooseWaveFile(const QString& startFolder);
    // Says so when a file whose header passed still cannot be played.
    void refuseUnplayableFile(const QString& path);
    // The copies are made from a file whose header passed; anything else leaves none.
    void prepareSpeedCopies(bool headerPassed);
    void buildLevelTable(QFile* samples);

    Services& program_;
    Player& player_;
    SoundWindowView& view_;
    LoadedFile& file_;
    // Starts a freshly loaded file at normal speed, once.
    RepeatingTimer tmr1{"tmr1", 50};
    // Loads the file chosen in the dialog once the dialog is gone, once.
    RepeatingTimer tmr2{"tmr2", 50};
};

} // namespace kestrova
