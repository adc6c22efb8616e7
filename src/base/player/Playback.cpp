#include "base/player/Playback.h"

#include "base/audio/PlaybackDevice.h"
#include "base/common/NumericValue.h"
#include "base/player/LoadedFile.h"
#include "base/transmit/Transmitter.h"

#include <QFileInfo>
#include <algorithm>

namespace kestrova {

namespace {

// Any start position above this plays from the beginning.
constexpr long long kLastStartPos = 999'998;
// The slider and the meter move five times a second, on the wake-ups of the
// window's other timers; in the last stretch the poll runs twice as often, so the
// end, and the transmitter's release after it, is noticed as soon as ever.
constexpr int kFollowMs = 200;
constexpr int kFollowNearEndMs = 100;
constexpr long long kNearEndMs = 2 * kFollowMs;

} // namespace

Playback::Playback(const Platform& platform, Transmitter& transmitter, LoadedFile& file)
    : platform_(platform), transmitter_(transmitter), file_(file) {
    connect(&tmrplaywave, &QTimer::timeout, this, [this] { tmrplaywave_Timer(); });
    connect(&tmr_Focus, &QTimer::timeout, this, [this] { tmr_Focus_Timer(); });
}

void Playback::stopTimers() {
    for (QTimer* timer : {&tmrplaywave, &tmr_Focus, &tmr_Play}) {
        timer->stop();
    }
}

void Playback::setPlayState(PlayState state) {
    if (state != playState_) {
        playState_ = state;
        emit playStateChanged(state);
    }
}

void Playback::setSlider(long long value) {
    slider_ = static_cast<int>(std::clamp<long long>(value, 0, PlaybackState::kMillionths));
    emit sliderChanged(slider_);
}

long long Playback::sliderMilliseconds() const {
    return roundToWhole(slider_ * double(state_.playLength) * 0.000001);
}

bool Playback::seekAndPlay(long long milliseconds) {
    state_.paused = false;
    const bool sought = platform_.player.seek(milliseconds) == PlaybackResult::Ok;
    // Only on the air does the sound wait for the transmitter and the receivers.
    const SoundStart soundStart = transmitter_.onAir() ? SoundStart::AfterLeadIn : SoundStart::AtOnce;
    return platform_.player.play(milliseconds, soundStart) == PlaybackResult::Ok && sought;
}

void Playback::startPlayback() {
    const QString loaded = file_.loaded();
    if (loaded.trimmed().isEmpty()) {
        return;
    }
    file_.setCurrent(loaded);
    // A held transmission is the only sound on the air until it ends.
    if (!QFileInfo(loaded).isFile() || transmitter_.isHeld()) {
        return;
    }
    if (state_.playing) {
        // The device opens one file at a time; a second open would fail and leave the old one playing.
        stopPlayback();
    }
    if (platform_.player.open(loaded) != PlaybackResult::Ok) {
        return;
    }
    const std::optional<PlaybackStatus> opened = platform_.player.status();
    if (!opened) {
        platform_.player.close();
        return;
    }
    state_.playLength = opened->lengthMs;
    state_.pos = state_.startPos > kLastStartPos ? 0 : state_.startPos;
    state_.pos = roundToWhole(state_.pos * double(state_.playLength) * 0.000001);
    state_.playing = true;
    state_.lastPolledPos = -1;
    setPlayState(PlayState::Playing);
    if (!seekAndPlay(state_.pos)) {
        playbackFailed(QStringLiteral("Die Soundkarte startet die Wiedergabe nicht."));
        return;
    }
    paceFollowing(state_.pos);
    tmrplaywave.start();
}

void Playback::stopPlayback() {
    if (state_.playing) {
        platform_.player.stop();
        platform_.player.close();
        state_.playing = false;
        tmrplaywave.stop();
        setPlayState(PlayState::Stopped);
    }
    tmr_Focus.stop();
}

void Playback::pause() {
    if (!state_.playing) {
        return;
    }
    tmr_Focus.stop();
    platform_.player.stop();
    state_.paused = true;
    tmrplaywave.stop();
    setPlayState(PlayState::Paused);
}

void Playback::resume() {
    if (!state_.playing) {
        return;
    }
    tmr_Focus.start();
    state_.pos = sliderMilliseconds();
    seekAndPlay(state_.pos);
    paceFollowing(state_.pos);
    tmrplaywave.start();
    setPlayState(PlayState::Playing);
}

// The card refused to play or gave up: the player ends Stopped, and whatever was
// keyed for this playback is let go, as the stop button would.
void Playback::playbackFailed(const QString& message) {
    stopPlayback();
    showSpeedPressed(kNoSpeed);
    transmitter_.releaseTxButton();
    transmitter_.transmitterOff();
    emit failed(message, file_.current());
}

// A device that stopped by itself before the end says so only when asked; it is
// asked when the position stands still.
bool Playback::deviceStoppedEarly(long long position) {
    if (!state_.stalledAt(position)) {
        return false;
    }
    const std::optional<PlaybackStatus> status = platform_.player.status();
    return status && !status->playing;
}

void Playback::tmrplaywave_Timer() {
    if (!state_.playing) {
        return;
    }
    const std::optional<PlaybackStatus> status = platform_.player.status();
    if (!status) {
        // The device has gone: stop as the stop button does, so nothing stays keyed.
        stop();
        return;
    }
    followPosition(status->positionMs);
}

void Playback::paceFollowing(long long milliseconds) {
    const int interval = state_.playLength - milliseconds <= kNearEndMs ? kFollowNearEndMs : kFollowMs;
    if (tmrplaywave.interval() != interval) {
        tmrplaywave.setInterval(interval);
    }
}

void Playback::followPosition(long long milliseconds) {
    if (milliseconds >= state_.playLength || state_.playLength <= 0) {
        state_.pos = PlaybackState::kMillionths;
        stop();
        emit endReached();
    } else {
        const bool stoppedEarly = deviceStoppedEarly(milliseconds);
        state_.pos =
            roundToWhole(milliseconds * double(PlaybackState::kMillionths) / double(state_.playLength));
        if (stoppedEarly) {
            setSlider(state_.pos);
            state_.startPos = state_.pos;
            playbackFailed(QStringLiteral("Die Soundkarte hat die Wiedergabe abgebrochen."));
            return;
        }
        paceFollowing(milliseconds);
    }
    // Continuous play may have loaded the next entry meanwhile; the slider shows where that stands.
    setSlider(state_.pos);
    updatePlaybackMeter();
}

void Playback::setLevelTable(LevelTable table) {
    levelTable_ = std::move(table);
}

void Playback::updatePlaybackMeter() {
    const std::optional<int> level = levelTable_.levelAt(slider_);
    if (!level) {
        return;
    }
    if (const std::optional<int> shown = followPeak(meterPeak_, *level)) {
        emit levelChanged(*shown);
    }
}

void Playback::tmr_Focus_Timer() {
    emit focusKeyField(file_.playSecondsText());
    const long long v = slider_;
    if (v * double(state_.playLength) / double(PlaybackState::kMillionths) <= double(v)) {
        tmr_Focus.stop();
        if (!recorderSwitchedOn_) {
            finishStop();
        }
    }
}

// --- the slider, the pause and the stop button ------------------------------------------------

void Playback::beginSeeking() {
    // The timer must not move the slider under the user's hand.
    if (state_.playing) {
        stopFollowing();
    }
}

void Playback::seek(int millionths) {
    if (!state_.playing) {
        return;
    }
    state_.pos = roundToWhole(millionths * double(state_.playLength) * 0.000001);
    seekAndPlay(state_.pos);
}

void Playback::endSeeking() {
    startFollowing();
    if (!state_.playing) {
        startPlayback();
    }
}

void Playback::halt() {
    stopFocusing();
    stopPlayback();
    stopFollowing();
    showSpeedPressed(kNoSpeed);
    state_.startPos = state_.pos;
    stopFocusing();
}

void Playback::finishStop() {
    stopFocusing();
    if (!recorderSwitchedOn_) {
        emit deletionAllowed(true);
    }
}

// The press that follows the click halts again, which changes nothing.
void Playback::stop() {
    halt();
    transmitter_.releaseTxButton();
    transmitter_.transmitterOff();
}

} // namespace kestrova
