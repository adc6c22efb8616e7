#include "base/audio/StreamingPlayback.h"

#include "base/audio/WavStreamer.h"
#include "base/wav/PcmWavFile.h"

namespace kestrova {

StreamingPlayback::StreamingPlayback(AudioSink& sink, int pumpIntervalMs) : sink_(sink) {
    timer_.setInterval(pumpIntervalMs);
    timer_.callOnTimeout([this] { pump(); });
}

StreamingPlayback::~StreamingPlayback() {
    halt();
}

// Every call first brings the position up to date, so the status sees the end even
// when no timer has run.
bool StreamingPlayback::pumpIfOpen() {
    if (!file_) {
        return false;
    }
    pump();
    return true;
}

PlaybackResult StreamingPlayback::open(const QString& path) {
    if (file_) {
        return PlaybackResult::AlreadyOpen;
    }
    if (path.isEmpty()) {
        return PlaybackResult::BadArgument;
    }
    auto opened = PcmWavFile::open(path);
    if (!opened.file) {
        return PlaybackResult::CannotReadFile;
    }
    file_ = std::move(opened.file);
    position_ = 0;
    return PlaybackResult::Ok;
}

std::optional<PlaybackStatus> StreamingPlayback::status() {
    if (!pumpIfOpen()) {
        return std::nullopt;
    }
    return PlaybackStatus{.lengthMs = static_cast<long long>(toMilliseconds(file_->format().frameCount)),
                          .positionMs = static_cast<long long>(toMilliseconds(currentFrame())),
                          .playing = playing()};
}

PlaybackResult StreamingPlayback::seek(long long milliseconds) {
    if (!pumpIfOpen()) {
        return PlaybackResult::NotOpen;
    }
    if (milliseconds < 0) {
        return PlaybackResult::BadArgument;
    }
    const std::uint64_t frame = toFrame(static_cast<std::uint64_t>(milliseconds));
    halt();
    position_ = frame;
    return PlaybackResult::Ok;
}

PlaybackResult StreamingPlayback::play(long long fromMilliseconds, SoundStart soundStart) {
    if (!pumpIfOpen()) {
        return PlaybackResult::NotOpen;
    }
    if (fromMilliseconds < 0) {
        return PlaybackResult::BadArgument;
    }
    const std::uint64_t from = toFrame(static_cast<std::uint64_t>(fromMilliseconds));
    halt();
    position_ = from;
    if (!streamer_) {
        streamer_ = std::make_unique<WavStreamer>(*file_, sink_);
    }
    if (!streamer_->start(from, soundStart)) {
        return PlaybackResult::DeviceFailed;
    }
    timer_.start();
    return PlaybackResult::Ok;
}

PlaybackResult StreamingPlayback::stop() {
    if (!pumpIfOpen()) {
        return PlaybackResult::NotOpen;
    }
    halt();
    return PlaybackResult::Ok;
}

PlaybackResult StreamingPlayback::close() {
    if (!pumpIfOpen()) {
        return PlaybackResult::NotOpen;
    }
    halt();
    streamer_.reset();
    file_.reset();
    position_ = 0;
    return PlaybackResult::Ok;
}

void StreamingPlayback::pump() {
    if (!playing()) {
        return;
    }
    streamer_->pump();
    if (streamer_->finished()) {
        // Whatever stopped the reading, the player treats the position at the length as the end.
        halt();
        position_ = file_->format().frameCount;
    } else if (streamer_->failed()) {
        halt();
    }
}

void StreamingPlayback::halt() {
    if (playing()) {
        position_ = streamer_->currentFrame();
        streamer_->stop();
    }
    timer_.stop();
}

bool StreamingPlayback::playing() const {
    return streamer_ && timer_.isActive();
}

std::uint64_t StreamingPlayback::currentFrame() const {
    return playing() ? streamer_->currentFrame() : position_;
}

std::uint64_t StreamingPlayback::toFrame(std::uint64_t ms) const {
    const auto& format = file_->format();
    // Beyond the end counts as the end, so a rounded-up time from the player still works.
    if (ms >= toMilliseconds(format.frameCount)) {
        return format.frameCount;
    }
    // Rounded up, so that a time the player reads back from the status after a seek
    // is the time it asked for.
    return (ms * static_cast<std::uint64_t>(format.sampleRate) + 999) / 1000;
}

std::uint64_t StreamingPlayback::toMilliseconds(std::uint64_t frame) const {
    return frame * 1000 / static_cast<std::uint64_t>(file_->format().sampleRate);
}

} // namespace kestrova
