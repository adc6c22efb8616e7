#include "base/audio/SimpleSoundPlayer.h"

#include "base/audio/AudioSink.h"
#include "base/audio/SoundSequence.h"
#include "base/audio/WavStreamer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace kestrova {

namespace {
constexpr int pollIntervalMs = 10;
}

SimpleSoundPlayer::SimpleSoundPlayer(AudioSink& sink, int stallTimeoutMs)
    : sink_(sink), stallTimeoutMs_(stallTimeoutMs) {}

bool SimpleSoundPlayer::play(const QString& path) {
    return playFile(path, false);
}

bool SimpleSoundPlayer::playResting(const QString& path) {
    return playFile(path, true);
}

bool SimpleSoundPlayer::playInTurn(const QStringList& paths, int pauseMs) {
    stop();
    const std::unique_ptr<SoundSequence> sequence = SoundSequence::open(paths, pauseMs);
    return sequence != nullptr && playAndWait(*sequence, true);
}

bool SimpleSoundPlayer::playFile(const QString& path, bool userInputWaits) {
    stop();
    if (path.isEmpty()) {
        return true;
    }
    // A sequence of one: it looks at the file first, so a FIFO or a device, which
    // would wait for a writer that may never come, is never opened.
    const std::unique_ptr<SoundSequence> sound = SoundSequence::open({path}, 0);
    return sound != nullptr && playAndWait(*sound, userInputWaits);
}

bool SimpleSoundPlayer::playAndWait(FrameSource& sound, bool userInputWaits) {
    WavStreamer streamer(sound, sink_);
    // The timed transmission goes on the air; the other sounds are short enough to take the lead-in too.
    if (!streamer.start(0, SoundStart::AfterLeadIn)) {
        return false;
    }
    const std::uint64_t mine = generation_;
    bool ok = true;
    std::uint64_t lastFrame = streamer.currentFrame();
    QElapsedTimer sinceProgress;
    sinceProgress.start();

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(pollIntervalMs);
    poll.callOnTimeout([&] {
        if (generation_ != mine) {
            loop.quit(); // stopped, or replaced by another sound
            return;
        }
        streamer.pump();
        const std::uint64_t frame = streamer.currentFrame();
        if (frame != lastFrame) {
            lastFrame = frame;
            sinceProgress.restart();
        }
        if (streamer.finished()) {
            loop.quit();
        } else if (streamer.failed() || sinceProgress.elapsed() > stallTimeoutMs_) {
            ok = false;
            loop.quit();
        }
    });
    poll.start();
    loop.exec(userInputWaits ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    poll.stop();
    // A sound started from inside the wait has already run to its end by now, so
    // stopping the sink cannot cut anything else off.
    streamer.stop();
    return ok;
}

void SimpleSoundPlayer::stop() {
    ++generation_;
    sink_.stop();
}

} // namespace kestrova
