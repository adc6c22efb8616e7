#pragma once

#include "base/audio/SoundPlayer.h"

#include <cstdint>

namespace kestrova {

class AudioSink;
class FrameSource;

// Plays a WAV file and returns when it has ended, keeping the user interface
// painted meanwhile. A play() or stop() from an event handler during the wait ends
// the sound that plays.
class SimpleSoundPlayer : public SoundPlayer {
public:
    // `stallTimeoutMs`: a device that plays nothing for this long counts as failed,
    // so a wedged sound card cannot hold the program forever.
    explicit SimpleSoundPlayer(AudioSink& sink, int stallTimeoutMs = 3000);
    SimpleSoundPlayer(const SimpleSoundPlayer&) = delete;
    SimpleSoundPlayer& operator=(const SimpleSoundPlayer&) = delete;

    bool play(const QString& path) override;
    bool playResting(const QString& path) override;
    // In one stream, so that a pause is heard as long as it is written.
    bool playInTurn(const QStringList& paths, int pauseMs) override;
    void stop() override;

private:
    bool playFile(const QString& path, bool userInputWaits);
    bool playAndWait(FrameSource& sound, bool userInputWaits);

    AudioSink& sink_;
    int stallTimeoutMs_;
    // Moves on with every play() and stop(), telling a waiting play() it was ended.
    std::uint64_t generation_ = 0;
};

} // namespace kestrova
