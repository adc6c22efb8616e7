#include "base/player/Playback.h"

#include "base/audio/CommandDevice.h"
#include "base/common/NumericValue.h"
#include "base/player/LoadedFile.h"
#include "base/transmit/Transmitter.h"

#include <QFileInfo>
#include <algorithm>

namespace kestrova {

namespace {

// Any start position above this plays from the beginning.
constexpr long long kLastStartPos = 999'998;

QString openCommand(const QString& path) {
    const QString name = path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    return QStringLiteral("open ") + name + QStringLiteral(" alias waveplayfile");
}

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

CommandResult Playback::send(const QString& command) {
    return platform_.player.send(command);
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
    const QString n = QString::number(milliseconds);
    const bool sought = send(QStringLiteral("seek waveplayfile to ") + n).error == 0;
    return send(QStringLiteral("play waveplayfile from ") + n).error == 0 && sought;
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
        // The alias can be open only once; a second open would fail and leave the old one playing.
        stopPlayback();
    }
    if (send(openCommand(loaded)).error != 0) {
        return;
    }
    send(QStringLiteral("set waveplayfile time format ms"));
    const CommandResult length = send(QStringLiteral("status waveplayfile length"));
    if (length.error != 0) {
        send(QStringLiteral("close waveplayfile"));
        return;
    }
    state_.playLength = roundToWhole(numericValue(length.reply));
    state_.pos = state_.startPos > kLastStartPos ? 0 : state_.startPos;
    state_.pos = roundToWhole(state_.pos * double(state_.playLength) * 0.000001);
    state_.playing = true;
    state_.lastPolledPos = -1;
    setPlayState(PlayState::Playing);
    if (!seekAndPlay(state_.pos)) {
        playbackFailed(QStringLiteral("Die Soundkarte startet die Wiedergabe nicht."));
        return;
    }
    tmrplaywave.start();
}

void Playback::stopPlayback() {
    if (state_.playing) {
        send(QStringLiteral("stop waveplayfile"));
        send(QStringLiteral("close waveplayfile"));
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
    send(QStringLiteral("stop waveplayfile"));
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
    return state_.stalledAt(position) &&
           send(QStringLiteral("status waveplayfile mode")).reply == QLatin1String("stopped");
}

void Playback::tmrplaywave_Timer() {
    if (!state_.playing) {
        return;
    }
    const CommandResult position = send(QStringLiteral("status waveplayfile position"));
    if (position.error != 0) {
        // The device has gone: stop as the stop button does, so nothing stays keyed.
        stop();
        return;
    }
    followPosition(roundToWhole(numericValue(position.reply)));
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
