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

    static constexpr int kNormalSpeed = 0;
    static constexpr int kFastestSpeed = 3;

    // A speed chosen: `speed` is kNormalSpeed or 1 to kFastestSpeed, each a label
    // (lblFreqNorm_MouseDown + lblFreqNorm_MouseUp, lblFreq1_MouseDown + … for 1 to 3).
    void choose(int speed);
    // The halves of a choice, as the label is pressed and let go: the speed shown
    // chosen and the playback stopped where it will start (lblFreqNorm_MouseDown,
    // lblFreq1_MouseDown …), then played from there (lblFreqNorm_MouseUp, lblFreq1_MouseUp …).
    void stopForSpeed(int speed);
    void playAtSpeed(int speed);
    // The normal-speed release in its two halves, so that a caller can key between
    // the header read, whose messages wait for an answer, and the start.
    bool readNormalSpeedFile(); // true when the header passed
    void startNormalSpeed();

private:
    void stopForNormalSpeed();
    void stopForFasterSpeed(int speed);
    void playAtFasterSpeed(int speed);

    Playback& playback_;
    SoundFileLoader& loader_;
    LoadedFile& file_;
    const QString& programFolder_;
    SpeedCopies copies_;
};

} // namespace kestrova
