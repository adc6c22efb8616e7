#pragma once

#include "base/audio/PlaybackDevice.h"

#include <QTimer>
#include <cstdint>
#include <memory>

namespace kestrova {

class AudioSink;
class PcmWavFile;
class WavStreamer;

// The sound window's player: streams the open WAV file into a sink. The position
// follows the frames the sink has played, so it runs at the file's own rate.
class StreamingPlayback final : public PlaybackDevice {
public:
    // `pumpInterval` is how often the sink is topped up while playing. Every call
    // tops it up too, and the sound window asks for the position five times a second;
    // the timer only keeps the sink fed when nobody asks, which the sink's buffer of
    // two seconds allows to be rare.
    explicit StreamingPlayback(AudioSink& sink, int pumpIntervalMs = 200);
    ~StreamingPlayback() override;
    StreamingPlayback(const StreamingPlayback&) = delete;
    StreamingPlayback& operator=(const StreamingPlayback&) = delete;

    PlaybackResult open(const QString& path) override;
    PlaybackResult seek(long long milliseconds) override;
    PlaybackResult play(long long fromMilliseconds, SoundStart soundStart) override;
    PlaybackResult stop() override;
    PlaybackResult close() override;
    std::optional<PlaybackStatus> status() override;
    // Tops up the sink and notices the end; the timer calls it, tests may too.
    void pump();

private:
    // Pumps, and says whether a file is open.
    bool pumpIfOpen();
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
