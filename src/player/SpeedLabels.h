#pragma once

#include "player/SpeedCopies.h"

#include <QString>

namespace kestrova {

class Services;
class Player;
class SoundWindowView;

// The speed labels of the sound window: the normal-speed pair restarts the window's
// file from startPos; the faster ones play rx.wav, a copy with a higher sample
// rate, from pos.
class SpeedLabels {
public:
    SpeedLabels(Services& program, Player& player, SoundWindowView& view);

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

private:
    void pressFasterLabel(int speed);
    void releaseFasterLabel(int speed);

    Services& program_;
    Player& player_;
    SoundWindowView& view_;
    SpeedCopies copies_;
};

} // namespace kestrova
