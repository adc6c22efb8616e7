// The player's controls on the sound window and the main window: connected to
// their handlers in one place, and the handlers of the slider, pause, stop and key field.
#include "common/NumericValue.h"
#include "platform/CommandDevice.h"
#include "platform/Dialogs.h"
#include "player/Player.h"
#include "player/SpaceRepeatFilter.h"
#include "services/Services.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace kestrova {

void Player::connectControls() {
    connectSlider();
    connectStopButton();
    connectKeyField();
    connectSpeedLabels();

    SoundForm& sound = *program_.frm_Oszi;
    MainForm& main = *program_.frm_DoKu;
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseDown, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseDown(b, s, x, y); });
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseMove, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseMove(b, s, x, y); });
    QObject::connect(sound.cmd_Os_Zurück, &QPushButton::clicked, &sound, [this] { cmd_Os_Zurück_Click(); });
}

// The slider, the waveform's seek by a click and the pause button.
void Player::connectSlider() {
    SoundForm& sound = *program_.frm_Oszi;
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { slider_MouseDown(b, s, x, y); });
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { slider_MouseUp(b, s, x, y); });
    QObject::connect(sound.slider, &QAbstractSlider::actionTriggered, &sound,
                     [this](int action) { slider_Action(action); });

    QObject::connect(sound.frx1_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { frx1_MouseDown(b, s, x, y); });

    QObject::connect(sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { cmd_Unterbrechen_MouseDown(b, s, x, y); });
    QObject::connect(sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { cmd_Unterbrechen_MouseUp(b, s, x, y); });
}

void Player::connectKeyField() {
    SoundForm& sound = *program_.frm_Oszi;
    sound.ed1->installEventFilter(new SpaceRepeatFilter(sound.ed1));
    QObject::connect(sound.ed1_keys, &KeyEvents::keyDown, &sound,
                     [this](int code, int shift) { ed1_KeyDown(code, shift); });
    QObject::connect(sound.ed1_keys, &KeyEvents::keyUp, &sound,
                     [this](int code, int shift) { ed1_KeyUp(code, shift); });
}

void Player::connectSpeedLabels() {
    SoundForm& sound = *program_.frm_Oszi;
    QObject::connect(sound.lblFreqNorm_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { lblFreqNorm_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreqNorm_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { lblFreqNorm_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq1_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { lblFreq1_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq1_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { lblFreq1_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq2_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { lblFreq2_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq2_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { lblFreq2_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq3_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { lblFreq3_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq3_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { lblFreq3_MouseUp(b, s, x, y); });
}

void Player::slider_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    // The timer must not move the slider under the user's hand.
    if (playback_.playing) {
        tmrplaywave.stop();
    }
}

void Player::slider_Action(int action) {
    if (action != QAbstractSlider::SliderNoAction) {
        slider_Scroll();
    }
}

void Player::slider_Scroll() {
    if (!playback_.playing) {
        return;
    }
    playback_.pos = roundToWhole(view_.sliderPosition() * double(playback_.playLength) * 0.000001);
    seekAndPlay(playback_.pos);
}

void Player::slider_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    tmrplaywave.start();
    if (!playback_.playing) {
        startPlayback();
    }
}

void Player::frx1_MouseDown(int button, int /*shift*/, int x, int /*y*/) {
    if (button == mousebutton::Left) {
        lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
        lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
        view_.setSlider(wholePart(x * double(kMillionths) / kSeekWidth));
        if (playback_.playing) {
            playback_.pos = sliderMilliseconds();
            seekAndPlay(playback_.pos);
        }
        return;
    }
    program_.platform().dialogs.message(
        QStringLiteral("x!") + QString::number(x) + QStringLiteral(" Play_Len") +
            QString::number(playback_.playLength) + QStringLiteral("pos%") + QString::number(playback_.pos),
        QString(), MessageButtons::Ok, MessageIcon::None);
}

void Player::cmd_Unterbrechen_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (!playback_.playing) {
        return;
    }
    tmr_Focus.stop();
    send(QStringLiteral("stop waveplayfile"));
    playback_.paused = true;
    tmrplaywave.stop();
}

void Player::cmd_Unterbrechen_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (!playback_.playing) {
        return;
    }
    tmr_Focus.start();
    playback_.pos = sliderMilliseconds();
    seekAndPlay(playback_.pos);
    tmrplaywave.start();
}

void Player::connectStopButton() {
    SoundForm& sound = *program_.frm_Oszi;
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { cmdStop_MouseDown(b, s, x, y); });
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseUp, &sound,
                     [this](int b, int s, int x, int y) { cmdStop_MouseUp(b, s, x, y); });
    // The button reports its click while the release is still being delivered;
    // queued, the click follows the mouse-up as the handlers expect.
    QObject::connect(
        sound.cmdStop, &QPushButton::clicked, &sound, [this] { cmdStop_Click(); }, Qt::QueuedConnection);
}

void Player::cmdStop_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    tmr_Focus.stop();
    stopPlayback();
    tmrplaywave.stop();
    view_.showSpeedPressed(SoundWindowView::kNoSpeed);
    playback_.startPos = playback_.pos;
    tmr_Focus.stop();
}

void Player::cmdStop_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    tmr_Focus.stop();
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
    sound.lbl_sek->setText(playSecondsText() + QStringLiteral(" s"));
    const long long v = view_.sliderValue();
    if (v * double(playback_.playLength) / double(kMillionths) <= double(v)) {
        tmr_Focus.stop();
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
    tmr1.stop();
}

} // namespace kestrova
