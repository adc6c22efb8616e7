#pragma once

#include "base/audio/CommandDevice.h"

#include <QTimer>
#include <cstdint>
#include <memory>

namespace kestrova {

class AudioSink;
class PcmWavFile;
class WavStreamer;
struct PlayerCommand;

// The sound window's player, driven by the command strings it sends to the alias
// "waveplayfile" (open, set time format ms, status length/position/mode, seek,
// play [from N], stop, close). Times are milliseconds. The position follows the
// frames the sink has played, so it runs at the file's own rate.
class PlaybackDevice : public CommandDevice {
public:
    // `pumpInterval` is how often the sink is topped up while playing. Every command
    // tops it up too, and the sound window asks for the position ten times a second;
    // the timer only keeps the sink fed when nobody asks, which the sink's buffer of
    // two seconds allows to be rare.
    explicit PlaybackDevice(AudioSink& sink, int pumpIntervalMs = 200);
    ~PlaybackDevice() override;
    PlaybackDevice(const PlaybackDevice&) = delete;
    PlaybackDevice& operator=(const PlaybackDevice&) = delete;

    CommandResult send(const QString& command) override;
    // Tops up the sink and notices the end; the timer calls it, tests may too.
    void pump();

private:
    CommandResult open(const PlayerCommand& command);
    CommandResult status(const PlayerCommand& command);
    CommandResult seek(const PlayerCommand& command);
    CommandResult play(const PlayerCommand& command);
    void halt();
    bool playing() const;
    std::uint64_t currentFrame() const;
    std::uint64_t toFrame(std::uint64_t milliseconds) const;
    std::uint64_t toMilliseconds(std::uint64_t frame) const;

    AudioSink& sink_;
    std::unique_ptr<PcmWavFile> file_;
    std::unique_ptr<WavStreamer> streamer_;
    std::uint64_t position_ = 0; // in frames, while not playing
    QTimer timer_;
};

} // namespace kestrova
