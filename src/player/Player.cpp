#include "player/Player.h"

#include "app/Program.h"
#include "common/NumericValue.h"
#include "platform/CommandDevice.h"
#include "platform/Dialogs.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

namespace kestrova {

namespace {

constexpr long long kMillionths = 1'000'000;
// Any start position above this plays from the beginning.
constexpr long long kLastStartPos = 999'998;

QString openCommand(const QString& path) {
    const QString name = path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    return QStringLiteral("open ") + name + QStringLiteral(" alias waveplayfile");
}

} // namespace

Player::Player(Program& program) : program_(program) {}

CommandDevice& Player::device() {
    return program_.platform().player;
}

CommandResult Player::send(const QString& command) {
    return device().send(command);
}

void Player::setSlider(long long value) {
    QSlider* slider = program_.frm_Oszi->slider;
    slider->setValue(static_cast<int>(std::clamp<long long>(value, slider->minimum(), slider->maximum())));
}

void Player::setMainWindowEnabled(bool enabled) {
    if (program_.frm_DoKu != nullptr) {
        program_.frm_DoKu->setEnabled(enabled);
    }
}

long long Player::sliderMilliseconds() const {
    return roundToWhole(program_.frm_Oszi->slider->value() * double(Play_Len) * 0.000001);
}

bool Player::seekAndPlay(long long milliseconds) {
    paused_ = false;
    const QString n = QString::number(milliseconds);
    const bool sought = send(QStringLiteral("seek waveplayfile to ") + n).error == 0;
    return send(QStringLiteral("play waveplayfile from ") + n).error == 0 && sought;
}

// --- header ---------------------------------------------------------------------------------

bool Player::checkWaveHeader(const QString& path) {
    const QString name = path.trimmed();
    // Only plain files: a pipe or a device could block the open or the reads.
    if (!QFileInfo(name).isFile()) {
        return false;
    }
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const WaveHeaderVerdict verdict = parseWaveHeader(file, waveInfo);
    file.close();
    Dialogs& dialogs = program_.platform().dialogs;
    switch (verdict) {
    case WaveHeaderVerdict::Valid:
        return true;
    case WaveHeaderVerdict::TooShort:
        openWaveFileDialog();
        return false;
    case WaveHeaderVerdict::Unreadable:
        return false;
    case WaveHeaderVerdict::UnknownFormat:
        dialogs.message(QStringLiteral("Unknown Wave Format"), QStringLiteral("Error"), MessageButtons::Ok,
                        MessageIcon::None);
        return false;
    case WaveHeaderVerdict::NoDataChunk:
        dialogs.message(QStringLiteral("No Data Chunk found"), QStringLiteral("Error"), MessageButtons::Ok,
                        MessageIcon::None);
        return false;
    }
    return false;
}

bool Player::readWaveHeader(const QString& path) {
    if (!checkWaveHeader(path)) {
        return false;
    }
    loadedFile = path;
    playSecondsText = completeWaveInfo(waveInfo);
    stopPlayback();
    setSlider(0);
    return true;
}

// --- playback -------------------------------------------------------------------------------

void Player::startPlayback() {
    if (loadedFile.trimmed().isEmpty()) {
        return;
    }
    currentFile = loadedFile;
    // A held transmission is the only sound on the air until it ends.
    if (!QFileInfo(currentFile).isFile() || program_.transmitter().isHeld()) {
        return;
    }
    if (playing) {
        // The alias can be open only once; a second open would fail and leave the old one playing.
        stopPlayback();
    }
    if (send(openCommand(currentFile)).error != 0) {
        return;
    }
    send(QStringLiteral("set waveplayfile time format ms"));
    const CommandResult length = send(QStringLiteral("status waveplayfile length"));
    if (length.error != 0) {
        send(QStringLiteral("close waveplayfile"));
        return;
    }
    Play_Len = roundToWhole(numericValue(length.reply));
    pos = startPos > kLastStartPos ? 0 : startPos;
    pos = roundToWhole(pos * double(Play_Len) * 0.000001);
    playing = true;
    lastPolledPos_ = -1;
    if (!seekAndPlay(pos)) {
        playbackFailed(QStringLiteral("Die Soundkarte startet die Wiedergabe nicht."));
        return;
    }
    program_.frm_Oszi->tmrplaywave->start();
}

void Player::stopPlayback() {
    if (playing) {
        send(QStringLiteral("stop waveplayfile"));
        send(QStringLiteral("close waveplayfile"));
        playing = false;
        program_.frm_Oszi->tmrplaywave->stop();
    }
    // The header of a file may be read while the sound window is set up, before the main window exists.
    if (program_.frm_DoKu != nullptr) {
        program_.frm_DoKu->tmr_Focus->stop();
    }
}

// The card refused to play or gave up: the player ends Stopped, and whatever was
// keyed for this playback is let go, as the stop button would.
void Player::playbackFailed(const QString& message) {
    stopPlayback();
    SoundForm& sound = *program_.frm_Oszi;
    for (LabelButton* label : {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3}) {
        label->setBorder(LabelBorder::Raised);
    }
    showReleased(sound.lbl_TX);
    program_.transmitter().transmitterOff();
    sound.lblFile->setText(message);
    sound.lblFile->setToolTip(QDir::toNativeSeparators(currentFile));
}

// A device that stopped by itself before the end says so only when asked; it is
// asked when the position stands still.
bool Player::deviceStoppedEarly(long long position) {
    const bool stalled = position == lastPolledPos_ && !paused_;
    lastPolledPos_ = position;
    return stalled && send(QStringLiteral("status waveplayfile mode")).reply == QLatin1String("stopped");
}

void Player::tmrplaywave_Timer() {
    if (!playing) {
        return;
    }
    const CommandResult position = send(QStringLiteral("status waveplayfile position"));
    if (position.error != 0) {
        // The device has gone: stop as the stop button does, so nothing stays keyed.
        stopPlayback();
        cmdStop_Click();
        return;
    }
    pos = roundToWhole(numericValue(position.reply));
    if (pos >= Play_Len || Play_Len <= 0) {
        pos = kMillionths;
        stopPlayback();
        cmdStop_Click();
        playNextInList();
    } else if (deviceStoppedEarly(pos)) {
        pos = roundToWhole(pos * double(kMillionths) / double(Play_Len));
        setSlider(pos);
        startPos = pos;
        playbackFailed(QStringLiteral("Die Soundkarte hat die Wiedergabe abgebrochen."));
        return;
    } else {
        pos = roundToWhole(pos * double(kMillionths) / double(Play_Len));
    }
    setSlider(pos);
    updatePlaybackMeter();
}

void Player::slider_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    // The timer must not move the slider under the user's hand.
    if (playing) {
        program_.frm_Oszi->tmrplaywave->stop();
    }
}

void Player::slider_Scroll() {
    if (!playing) {
        return;
    }
    // The position, not the value: a drag reports before the value follows it.
    const int millionths = program_.frm_Oszi->slider->sliderPosition();
    pos = roundToWhole(millionths * double(Play_Len) * 0.000001);
    seekAndPlay(pos);
}

void Player::slider_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.frm_Oszi->tmrplaywave->start();
    if (!playing) {
        startPlayback();
    }
}

void Player::frx1_MouseDown(int button, int /*shift*/, int x, int /*y*/) {
    if (button == mousebutton::Left) {
        lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
        lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
        setSlider(wholePart(x * double(kMillionths) / kSeekWidth));
        if (playing) {
            pos = sliderMilliseconds();
            seekAndPlay(pos);
        }
        return;
    }
    program_.platform().dialogs.message(QStringLiteral("x!") + QString::number(x) +
                                            QStringLiteral(" Play_Len") + QString::number(Play_Len) +
                                            QStringLiteral("pos%") + QString::number(pos),
                                        QString(), MessageButtons::Ok, MessageIcon::None);
}

void Player::cmd_Unterbrechen_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (!playing) {
        return;
    }
    program_.frm_DoKu->tmr_Focus->stop();
    send(QStringLiteral("stop waveplayfile"));
    paused_ = true;
    program_.frm_Oszi->tmrplaywave->stop();
}

void Player::cmd_Unterbrechen_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (!playing) {
        return;
    }
    program_.frm_DoKu->tmr_Focus->start();
    pos = sliderMilliseconds();
    seekAndPlay(pos);
    program_.frm_Oszi->tmrplaywave->start();
}

void Player::cmdStop_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    SoundForm& sound = *program_.frm_Oszi;
    program_.frm_DoKu->tmr_Focus->stop();
    stopPlayback();
    sound.tmrplaywave->stop();
    for (LabelButton* label : {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3}) {
        label->setBorder(LabelBorder::Raised);
    }
    startPos = pos;
    program_.frm_DoKu->tmr_Focus->stop();
}

void Player::cmdStop_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.frm_DoKu->tmr_Focus->stop();
    if (!program_.frm_DoKu->chk_Start->isChecked()) {
        program_.frm_DoKu->cmd_File_lö->setEnabled(true);
    }
}

void Player::cmdStop_Click() {
    cmdStop_MouseDown(mousebutton::Left, 0, 0, 0);
    showReleased(program_.frm_Oszi->lbl_TX);
    program_.transmitter().transmitterOff();
}

void Player::tmr_Focus_Timer() {
    SoundForm& sound = *program_.frm_Oszi;
    sound.ed1->setFocus();
    sound.lbl_sek->setText(playSecondsText + QStringLiteral(" s"));
    const long long v = sound.slider->value();
    if (v * double(Play_Len) / double(kMillionths) <= double(v)) {
        program_.frm_DoKu->tmr_Focus->stop();
        if (!program_.frm_DoKu->chk_Start->isChecked()) {
            cmdStop_MouseUp(mousebutton::Left, 0, 0, 0);
        }
    }
}

void Player::ed1_KeyDown(int keyCode, int /*shift*/) {
    program_.frm_Oszi->ed1->setText(QString::number(keyCode));
    if (keyCode == keycode::Space) {
        program_.transmitter().lbl_TX_Click();
    }
}

void Player::ed1_KeyUp(int /*keyCode*/, int /*shift*/) {}

void Player::tmr1_Timer() {
    lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    program_.frm_DoKu->tmr1->stop();
}

} // namespace kestrova
