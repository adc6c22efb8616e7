#pragma once

#include "base/common/RepeatingTimer.h"
#include "base/desktop/Dialogs.h"
#include "base/platform/Platform.h"
#include "base/player/LoadedFile.h"
#include "base/player/Waveform.h"

#include <QObject>
#include <QString>
#include <vector>

class QFile;

namespace kestrova {

class Playback;
class SpeedLabels;

// Loads a file into the sound window: the header check, the waveform and the
// level table, and the ticks that load and start a chosen file once the dialog is
// gone. The window shows what it signals; the file dialog is the platform's.
class SoundFileLoader : public QObject {
    Q_OBJECT
public:
    SoundFileLoader(const Platform& platform, LoadedFile& file, Playback& playback);

    // The faster copies follow the loaded file; set once, before the first load.
    void setSpeedLabels(SpeedLabels& speeds) { speeds_ = &speeds; }

    // Set once the main window exists: a file chosen while the sound window is
    // set up is loaded, but not started.
    void setMainWindowExists() { mainWindowExists_ = true; }

    const LoadedFile& file() const { return file_; }

    // The fresh sound window: loads currentFile when there is one.
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
    // Reads currentFile again for a start at another speed; true when the header passed.
    bool reloadPlayerFile();
    // Why `path` would not load and play, found without a word to the user: the
    // playback's look and the header reader's verdict. Empty when it would.
    static QString refusalOf(const QString& path);
    void showLoadedFile();
    // The file at path was deleted: when it is the window's file, the window
    // forgets it and shows no file, rather than a name and waveform that no
    // longer play.
    void closeDeletedFile(const QString& path);

    // The file dialog from `startFolder` (the settings form's documentation folder),
    // the chosen file loaded and played once the dialog is gone (the main window's
    // "Sounds" label, lbl_LoadWave_MouseDown).
    void chooseFileToPlay(const QString& startFolder);
    void tmr1_Timer();
    void tmr2_Timer();

    // Nothing of the loading ticks once the program has ended.
    void stopTimers();

    // For the tests, which look at the timers but never drive them.
    const QTimer& freshStartTimer() const { return tmr1; }
    const QTimer& dialogLoadTimer() const { return tmr2; }

signals:
    // The list's current entry is pressed before the dialog opens, as a click on it would.
    void entryPressWanted();
    // While a file is chosen or loaded the main window takes no input.
    void mainWindowEnabled(bool enabled);
    // The file dialog is open (or is shut again).
    void choosingChanged(bool choosing);
    // The sound window is wanted on screen, after the dialog.
    void windowWanted();
    void fileNamed(const QString& path);
    // A file was loaded into the window: its name and its length in seconds as shown.
    void fileLoaded(const QString& path, const QString& playSeconds);
    // The waveform of the loaded file, drawn over what the window shows.
    void waveformDrawn(const std::vector<kestrova::WaveformLine>& lines);
    // The window's file was deleted: no name, no waveform, no speed to press.
    void fileGone();
    // Whether the main window's deletion of files may be used.
    void deletionAllowed(bool allowed);

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
    void setCopySource(const QString& path);
    void buildLevelTable(QFile* samples);

    const Platform platform_;
    LoadedFile& file_;
    Playback& playback_;
    SpeedLabels* speeds_ = nullptr;
    bool mainWindowExists_ = false;
    // Starts a freshly loaded file at normal speed, once.
    RepeatingTimer tmr1{"tmr1", 50};
    // Loads the file chosen in the dialog once the dialog is gone, once.
    RepeatingTimer tmr2{"tmr2", 50};
};

} // namespace kestrova
