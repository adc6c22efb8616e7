#pragma once

#include "base/player/SpeedCopies.h"

#include <QString>

namespace kestrova {

class LoadedFile;
class Playback;
class SoundFileLoader;

// The speed labels of the sound window: the normal-speed pair restarts the window's
// file from startPos; the faster ones play rx.wav, a copy with a higher sample
// rate, from pos. Which label shows pressed, the playback signals.
class SpeedLabels {
public:
    // The faster copies are written into `programFolder`.
    SpeedLabels(Playback& playback, SoundFileLoader& loader, LoadedFile& file, const QString& programFolder);

    // The readable WAVE file the faster copies are made of; empty for none.
    void setCopySource(const QString& path) { copies_.setSource(path); }
    // Where the faster copies are written.
    QString rxWavePath() const;

    void lblFreqNorm_MouseDown(int button, int shift, int x, int y);
    void lblFreqNorm_MouseUp(int button, int shift, int x, int y);
    void lblFreq1_MouseDown(int button, int shift, int x, int y);
    void lblFreq1_MouseUp(int button, int shift, int x, int y);
    void lblFreq2_MouseDown(int button, int shift, int x, int y);
    void lblFreq2_MouseUp(int button, int shift, int x, int y);
    void lblFreq3_MouseDown(int button, int shift, int x, int y);
    void lblFreq3_MouseUp(int button, int shift, int x, int y);

    // Normal speed from the slider's start: the press and the release together.
    void playAtNormalSpeed();
    // The normal-speed release in its two halves, so that a caller can key between
    // the header read, whose messages wait for an answer, and the start.
    bool readNormalSpeedFile(); // true when the header passed
    void startNormalSpeed();

private:
    void pressFasterLabel(int speed);
    void releaseFasterLabel(int speed);

    Playback& playback_;
    SoundFileLoader& loader_;
    LoadedFile& file_;
    const QString& programFolder_;
    SpeedCopies copies_;
};

} // namespace kestrova
