#pragma once

#include <QString>
#include <memory>

class QIODevice;

namespace kestrova {

// What a look at a sound file found, before anything is keyed or played.
struct SoundFileProbe {
    bool playable = false;
    QString reason; // German, for the user; empty when playable
};

// Looks at the file without blocking: a FIFO, a device or a folder is refused
// before it is opened, the header must be one the playback can decode, and there
// must be at least one frame to play.
SoundFileProbe probeSoundFile(const QString& path);
// The same look at any seekable device (tests use an in-memory buffer).
SoundFileProbe probeSoundFile(std::unique_ptr<QIODevice> device);

} // namespace kestrova
