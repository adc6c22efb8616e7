#pragma once

#include "base/audio/SoundPlayer.h"

namespace kestrova {

// The simple sound playback as the rest of the program sees it. While a
// transmission holds it, play() and stop() from anyone else neither start a sound
// nor cut the one on the air; only playHeld() plays.
class HeldSounds final : public SoundPlayer {
public:
    explicit HeldSounds(SoundPlayer& sounds) : sounds_(sounds) {}

    bool play(const QString& path) override { return !held_ && sounds_.play(path); }
    void stop() override {
        if (!held_) {
            sounds_.stop();
        }
    }

    bool playInTurn(const QStringList& paths, int pauseMs) override {
        return !held_ && sounds_.playInTurn(paths, pauseMs);
    }

    void hold() { held_ = true; }
    void release() { held_ = false; }
    bool playHeld(const QStringList& paths, int pauseMs) { return sounds_.playInTurn(paths, pauseMs); }

private:
    SoundPlayer& sounds_;
    bool held_ = false;
};

} // namespace kestrova
