// Playback of the sound window's file: its start and stop, the ticks that follow
// the position, and the end of a playback the card refused or gave up.
#include "common/NumericValue.h"
#include "platform/CommandDevice.h"
#include "player/Player.h"
#include "services/Services.h"
#include "transmit/Transmitter.h"
#include "ui/LabelButton.h"
#include "ui/SoundForm.h"

#include <QFileInfo>

namespace kestrova {

namespace {

// Any start position above this plays from the beginning.
constexpr long long kLastStartPos = 999'998;

QString openCommand(const QString& path) {
    const QString name = path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    return QStringLiteral("open ") + name + QStringLiteral(" alias waveplayfile");
}

} // namespace

void Player::startPlayback() {
    if (loadedFile().trimmed().isEmpty()) {
        return;
    }
    file_.setCurrent(loadedFile());
    // A held transmission is the only sound on the air until it ends.
    if (!QFileInfo(currentFile()).isFile() || program_.transmitter().isHeld()) {
        return;
    }
    if (playback_.playing) {
        // The alias can be open only once; a second open would fail and leave the old one playing.
        stopPlayback();
    }
    if (send(openCommand(currentFile())).error != 0) {
        return;
    }
    send(QStringLiteral("set waveplayfile time format ms"));
    const CommandResult length = send(QStringLiteral("status waveplayfile length"));
    if (length.error != 0) {
        send(QStringLiteral("close waveplayfile"));
        return;
    }
    PlaybackState& state = playback_;
    state.playLength = roundToWhole(numericValue(length.reply));
    state.pos = state.startPos > kLastStartPos ? 0 : state.startPos;
    state.pos = roundToWhole(state.pos * double(state.playLength) * 0.000001);
    state.playing = true;
    state.lastPolledPos = -1;
    if (!seekAndPlay(state.pos)) {
        playbackFailed(QStringLiteral("Die Soundkarte startet die Wiedergabe nicht."));
        return;
    }
    tmrplaywave.start();
}

void Player::stopPlayback() {
    if (playback_.playing) {
        send(QStringLiteral("stop waveplayfile"));
        send(QStringLiteral("close waveplayfile"));
        playback_.playing = false;
        tmrplaywave.stop();
    }
    // The header of a file may be read while the sound window is set up, before the main window exists.
    if (program_.frm_DoKu != nullptr) {
        tmr_Focus.stop();
    }
}

// The card refused to play or gave up: the player ends Stopped, and whatever was
// keyed for this playback is let go, as the stop button would.
void Player::playbackFailed(const QString& message) {
    stopPlayback();
    view_.showSpeedPressed(SoundWindowView::kNoSpeed);
    showReleased(program_.frm_Oszi->lbl_TX);
    program_.transmitter().transmitterOff();
    view_.showFailure(message, currentFile());
}

// A device that stopped by itself before the end says so only when asked; it is
// asked when the position stands still.
bool Player::deviceStoppedEarly(long long position) {
    return playback_.stalledAt(position) &&
           send(QStringLiteral("status waveplayfile mode")).reply == QLatin1String("stopped");
}

void Player::tmrplaywave_Timer() {
    if (!playback_.playing) {
        return;
    }
    const CommandResult position = send(QStringLiteral("status waveplayfile position"));
    if (position.error != 0) {
        // The device has gone: stop as the stop button does, so nothing stays keyed.
        stopPlayback();
        cmdStop_Click();
        return;
    }
    followPosition(roundToWhole(numericValue(position.reply)));
}

void Player::followPosition(long long milliseconds) {
    PlaybackState& state = playback_;
    if (milliseconds >= state.playLength || state.playLength <= 0) {
        state.pos = kMillionths;
        stopPlayback();
        cmdStop_Click();
        playNextInList();
    } else {
        const bool stoppedEarly = deviceStoppedEarly(milliseconds);
        state.pos = roundToWhole(milliseconds * double(kMillionths) / double(state.playLength));
        if (stoppedEarly) {
            view_.setSlider(state.pos);
            state.startPos = state.pos;
            playbackFailed(QStringLiteral("Die Soundkarte hat die Wiedergabe abgebrochen."));
            return;
        }
    }
    // Continuous play may have loaded the next entry meanwhile; the slider shows where that stands.
    view_.setSlider(state.pos);
    updatePlaybackMeter();
}

} // namespace kestrova
