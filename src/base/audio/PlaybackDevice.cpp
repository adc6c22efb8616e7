#include "base/audio/PlaybackDevice.h"

#include "base/audio/PlayerCommand.h"
#include "base/audio/WavStreamer.h"
#include "base/wav/PcmWavFile.h"

#include <optional>

namespace kestrova {

namespace {

using Verb = PlayerCommand::Verb;

const QString kPlayerAlias = QStringLiteral("waveplayfile");

CommandResult fail(int error, const QString& reply = {}) {
    return {error, reply};
}

// A millisecond count, or nothing when the word is not one.
std::optional<std::uint64_t> milliseconds(const QString& word) {
    bool ok = false;
    const qulonglong value = word.toULongLong(&ok);
    return ok ? std::optional<std::uint64_t>(value) : std::nullopt;
}

} // namespace

PlaybackDevice::PlaybackDevice(AudioSink& sink, int pumpIntervalMs) : sink_(sink) {
    timer_.setInterval(pumpIntervalMs);
    timer_.callOnTimeout([this] { pump(); });
}

PlaybackDevice::~PlaybackDevice() {
    halt();
}

CommandResult PlaybackDevice::send(const QString& text) {
    const PlayerCommand command = parsePlayerCommand(text);
    if (command.verb == Verb::Invalid) {
        return fail(kPlayerUnknownCommand);
    }
    if (command.alias != kPlayerAlias) {
        return fail(kPlayerUnknownAlias);
    }
    if (command.verb == Verb::Open) {
        return open(command);
    }
    if (!file_) {
        return fail(kPlayerNotOpen);
    }
    // Every command first brings the position up to date, so "status position"
    // sees the end even when no timer has run.
    pump();
    const QStringList& args = command.arguments;
    if (command.verb == Verb::Set) {
        const bool milli = args.size() == 3 && args[0] == QLatin1String("time") &&
                           args[1] == QLatin1String("format") &&
                           (args[2] == QLatin1String("ms") || args[2] == QLatin1String("milliseconds"));
        return milli ? CommandResult{} : fail(kPlayerBadArgument);
    }
    if (command.verb == Verb::Status) {
        return status(command);
    }
    if (command.verb == Verb::Seek) {
        return seek(command);
    }
    if (command.verb == Verb::Play) {
        return play(command);
    }
    if (command.verb == Verb::Stop && args.isEmpty()) {
        halt();
        return {};
    }
    if (command.verb == Verb::Close && args.isEmpty()) {
        halt();
        streamer_.reset();
        file_.reset();
        position_ = 0;
        return {};
    }
    return fail(kPlayerUnknownCommand);
}

CommandResult PlaybackDevice::open(const PlayerCommand& command) {
    if (file_) {
        return fail(kPlayerAlreadyOpen);
    }
    if (command.path.isEmpty()) {
        return fail(kPlayerBadArgument);
    }
    auto opened = PcmWavFile::open(command.path);
    if (!opened.file) {
        return fail(kPlayerCannotReadFile, opened.error);
    }
    file_ = std::move(opened.file);
    position_ = 0;
    return {};
}

CommandResult PlaybackDevice::status(const PlayerCommand& command) {
    if (command.arguments.size() != 1) {
        return fail(kPlayerBadArgument);
    }
    const QString& item = command.arguments[0];
    if (item == QLatin1String("length")) {
        return {0, QString::number(toMilliseconds(file_->format().frameCount))};
    }
    if (item == QLatin1String("position")) {
        return {0, QString::number(toMilliseconds(currentFrame()))};
    }
    if (item == QLatin1String("mode")) {
        return {0, playing() ? QStringLiteral("playing") : QStringLiteral("stopped")};
    }
    return fail(kPlayerBadArgument);
}

CommandResult PlaybackDevice::seek(const PlayerCommand& command) {
    const QStringList& args = command.arguments;
    if (args.size() != 2 || args[0] != QLatin1String("to")) {
        return fail(kPlayerBadArgument);
    }
    std::uint64_t frame = 0;
    if (args[1] == QLatin1String("end")) {
        frame = file_->format().frameCount;
    } else if (args[1] != QLatin1String("start")) {
        const auto ms = milliseconds(args[1]);
        if (!ms) {
            return fail(kPlayerBadArgument);
        }
        frame = toFrame(*ms);
    }
    halt();
    position_ = frame;
    return {};
}

CommandResult PlaybackDevice::play(const PlayerCommand& command) {
    const QStringList& args = command.arguments;
    std::uint64_t from = currentFrame();
    if (args.size() == 2 && args[0] == QLatin1String("from")) {
        const auto ms = milliseconds(args[1]);
        if (!ms) {
            return fail(kPlayerBadArgument);
        }
        from = toFrame(*ms);
    } else if (!args.isEmpty()) {
        return fail(kPlayerBadArgument);
    }
    halt();
    position_ = from;
    if (!streamer_) {
        streamer_ = std::make_unique<WavStreamer>(*file_, sink_);
    }
    if (!streamer_->start(from)) {
        return fail(kPlayerDeviceFailed);
    }
    timer_.start();
    return {};
}

void PlaybackDevice::pump() {
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

void PlaybackDevice::halt() {
    if (playing()) {
        position_ = streamer_->currentFrame();
        streamer_->stop();
    }
    timer_.stop();
}

bool PlaybackDevice::playing() const {
    return streamer_ && timer_.isActive();
}

std::uint64_t PlaybackDevice::currentFrame() const {
    return playing() ? streamer_->currentFrame() : position_;
}

std::uint64_t PlaybackDevice::toFrame(std::uint64_t ms) const {
    const auto& format = file_->format();
    // Beyond the end counts as the end, so a rounded-up time from the player still works.
    const std::uint64_t lengthMs = toMilliseconds(format.frameCount);
    if (ms >= lengthMs) {
        return format.frameCount;
    }
    // Rounded up, so that a time the player reads back from "status position" after
    // a seek is the time it asked for.
    return (ms * static_cast<std::uint64_t>(format.sampleRate) + 999) / 1000;
}

std::uint64_t PlaybackDevice::toMilliseconds(std::uint64_t frame) const {
    return frame * 1000 / static_cast<std::uint64_t>(file_->format().sampleRate);
}

} // namespace kestrova
