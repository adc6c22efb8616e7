#include "player/Playback.h"

#include "common/NumericValue.h"
#include "platform/CommandDevice.h"
#include "player/Player.h"
#include "player/SoundWindowView.h"
#include "services/Services.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace kestrova {

namespace {

// Any start position above this plays from the beginning.
constexpr long long kLastStartPos = 999'998;

QString openCommand(const QString& path) {
    const QString name = path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    return QStringLiteral("open ") + name + QStringLiteral(" alias waveplayfile");
}

} // namespace

Playback::Playback(Services& program, Player& player, SoundWindowView& view)
    : program_(program), player_(player), view_(view) {
    QObject::connect(&tmrplaywave, &QTimer::timeout, &tmrplaywave, [this] { tmrplaywave_Timer(); });
    QObject::connect(&tmr_Focus, &QTimer::timeout, &tmr_Focus, [this] { tmr_Focus_Timer(); });
}

void Playback::stopTimers() {
    for (QTimer* timer : {&tmrplaywave, &tmr_Focus, &tmr_Play}) {
        timer->stop();
    }
}

CommandDevice& Playback::device() {
    return program_.platform().player;
}

CommandResult Playback::send(const QString& command) {
    return device().send(command);
}

long long Playback::sliderMilliseconds() const {
    return roundToWhole(view_.sliderValue() * double(state_.playLength) * 0.000001);
}

bool Playback::seekAndPlay(long long milliseconds) {
    state_.paused = false;
    const QString n = QString::number(milliseconds);
    const bool sought = send(QStringLiteral("seek waveplayfile to ") + n).error == 0;
    return send(QStringLiteral("play waveplayfile from ") + n).error == 0 && sought;
}

void Playback::startPlayback() {
    const QString loaded = player_.loadedFile();
    if (loaded.trimmed().isEmpty()) {
        return;
    }
    player_.setCurrentFile(loaded);
    // A held transmission is the only sound on the air until it ends.
    if (!QFileInfo(loaded).isFile() || program_.transmitter().isHeld()) {
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
    }
    // The header of a file may be read while the sound window is set up, before the main window exists.
    if (program_.frm_DoKu != nullptr) {
        tmr_Focus.stop();
    }
}

void Playback::pause() {
    tmr_Focus.stop();
    send(QStringLiteral("stop waveplayfile"));
    state_.paused = true;
    tmrplaywave.stop();
}

void Playback::resume() {
    tmr_Focus.start();
    state_.pos = sliderMilliseconds();
    seekAndPlay(state_.pos);
    tmrplaywave.start();
}

// The card refused to play or gave up: the player ends Stopped, and whatever was
// keyed for this playback is let go, as the stop button would.
void Playback::playbackFailed(const QString& message) {
    stopPlayback();
    view_.showSpeedPressed(SoundWindowView::kNoSpeed);
    program_.transmitter().releaseTxButton();
    program_.transmitter().transmitterOff();
    view_.showFailure(message, player_.currentFile());
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
        stopPlayback();
        player_.cmdStop_Click();
        return;
    }
    followPosition(roundToWhole(numericValue(position.reply)));
}

void Playback::followPosition(long long milliseconds) {
    if (milliseconds >= state_.playLength || state_.playLength <= 0) {
        state_.pos = PlaybackState::kMillionths;
        stopPlayback();
        player_.cmdStop_Click();
        player_.continuousPlay().playNextInList();
    } else {
        const bool stoppedEarly = deviceStoppedEarly(milliseconds);
        state_.pos =
            roundToWhole(milliseconds * double(PlaybackState::kMillionths) / double(state_.playLength));
        if (stoppedEarly) {
            view_.setSlider(state_.pos);
            state_.startPos = state_.pos;
            playbackFailed(QStringLiteral("Die Soundkarte hat die Wiedergabe abgebrochen."));
            return;
        }
    }
    // Continuous play may have loaded the next entry meanwhile; the slider shows where that stands.
    view_.setSlider(state_.pos);
    view_.updatePlaybackMeter();
}

void Playback::tmr_Focus_Timer() {
    SoundForm& sound = *program_.frm_Oszi;
    sound.ed1->setFocus();
    sound.lbl_sek->setText(player_.playSecondsText() + QStringLiteral(" s"));
    const long long v = view_.sliderValue();
    if (v * double(state_.playLength) / double(PlaybackState::kMillionths) <= double(v)) {
        tmr_Focus.stop();
        if (!program_.frm_DoKu->chk_Start->isChecked()) {
            player_.cmdStop_MouseUp(mousebutton::Left, 0, 0, 0);
        }
    }
}

} // namespace kestrova
