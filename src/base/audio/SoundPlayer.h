#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

// The simple sound playback: play a WAV file by name and return when it has finished.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays the file and waits for its end; false when it could not be played.
    // An empty name stops whatever is playing.
    virtual bool play(const QString& path) = 0;
    // As play(), but the user's clicks and keys wait until the sound has ended, as
    // they would for a program that rests while it plays.
    virtual bool playResting(const QString& path) { return play(path); }
    // The files one after the other, resting, with `pauseMs` of silence between any
    // two; a file that cannot be played is passed over, its pause is not. False when
    // none could be played.
    virtual bool playInTurn(const QStringList& paths, int pauseMs) = 0;
    virtual void stop() = 0;
};

} // namespace kestrova
