#pragma once

namespace kestrova {

class AudioInput;
class OutputVolume;
class CaptureDevice;
class Clock;
class Dialogs;
class DiskSpace;
class EventLog;
class InputHub;
class PlaybackDevice;
class ServiceManager;
class SerialLines;
class SoundPlayer;

// The outside world as the program sees it. main() binds the real adapters,
// tests bind the fakes.
struct Platform {
    Clock& clock;
    Dialogs& dialogs;
    AudioInput& audioInput;
    // The one open input stream, shared by the level meter and the capture.
    InputHub& inputHub;
    CaptureDevice& capture;
    PlaybackDevice& player;
    SoundPlayer& sounds;
    OutputVolume& audioOutput;
    SerialLines& serial;
    // What happened, for the operator of a program without a desktop.
    EventLog& events;
    // systemd, where it started the program.
    ServiceManager& serviceManager;
    // The room left on the disks.
    DiskSpace& diskSpace;

    // The program's thread wakes at the level meter's pace of 200 ms where the input's
    // blocks come no further apart (PortAudio's 200 ms: each block as it comes), and
    // every second block where they are longer (the service's 400 ms periods, whose
    // level only the page and MQTT show): the program listens for days, and each
    // wake-up costs more than the work it does.
    // The level meter's ticks and the clocks run in batches on these wake-ups, or
    // have periods of whole multiples of them; the capture counts its pre-roll from
    // the sample heard, so a later look loses nothing.
    static constexpr int kWakeMs = 200;
    int wakeSpacingMs() const;

    // The same world with one part put in front of its own, as a program wraps
    // the dialogs or the sounds it shares.
    Platform withDialogs(Dialogs& own) const {
        return {clock,  own,         audioInput, inputHub, capture,        player,
                sounds, audioOutput, serial,     events,   serviceManager, diskSpace};
    }
    Platform withSounds(SoundPlayer& own) const {
        return {clock, dialogs,     audioInput, inputHub, capture,        player,
                own,   audioOutput, serial,     events,   serviceManager, diskSpace};
    }
};

} // namespace kestrova
