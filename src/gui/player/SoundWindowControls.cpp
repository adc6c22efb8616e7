#include "gui/player/SoundWindowControls.h"

#include "base/common/NumericValue.h"
#include "base/desktop/Dialogs.h"
#include "base/transmit/Transmitter.h"
#include "gui/player/Player.h"
#include "gui/player/SoundWindowView.h"
#include "gui/player/SpaceRepeatFilter.h"
#include "gui/services/Services.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/Forms.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <array>

namespace kestrova {

SoundWindowControls::SoundWindowControls(Services& program, const Forms& forms, Player& player,
                                         SoundWindowView& view)
    : program_(program), forms_(forms), player_(player), view_(view) {}

void SoundWindowControls::connectControls() {
    connectSlider();
    connectStopButton();
    connectKeyField();
    connectSpeedLabels();
    connectLoadLabel();
    followRecorderSwitch();
    followContinuousSwitch();
    bindList();
    view_.bindMainWindow(player_.playback(), player_.loader());
    SoundForm& sound = *forms_.frm_Oszi;
    QObject::connect(sound.cmd_Os_Zurück, &QPushButton::clicked, &sound, [this] { cmd_Os_Zurück_Click(); });
}

// The slider, the waveform's seek by a click and the pause button.
void SoundWindowControls::connectSlider() {
    SoundForm& sound = *forms_.frm_Oszi;
    Playback* playback = &player_.playback();
    // slider_MouseDown, slider_MouseUp
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseDown, &sound,
                     [playback] { playback->beginSeeking(); });
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseUp, &sound,
                     [playback] { playback->endSeeking(); });
    QObject::connect(sound.slider, &QAbstractSlider::actionTriggered, &sound,
                     [this](int action) { slider_Action(action); });

    QObject::connect(sound.frx1_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { frx1_MouseDown(b, s, x, y); });

    // cmd_Unterbrechen_MouseDown, cmd_Unterbrechen_MouseUp: paused while the button is held.
    QObject::connect(sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseDown, &sound,
                     [playback] { playback->pause(); });
    QObject::connect(sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseUp, &sound,
                     [playback] { playback->resume(); });
}

void SoundWindowControls::followRecorderSwitch() {
    QCheckBox* recording = forms_.frm_DoKu->chk_Start;
    Playback* playback = &player_.playback();
    playback->setRecorderSwitchedOn(recording->isChecked());
    QObject::connect(recording, &QCheckBox::toggled, playback, &Playback::setRecorderSwitchedOn);
}

void SoundWindowControls::followContinuousSwitch() {
    QCheckBox* continuous = forms_.frm_Einstellungen->chkFortlaufend;
    ContinuousPlay* play = &player_.continuousPlay();
    play->setContinuous(continuous->isChecked());
    QObject::connect(continuous, &QCheckBox::toggled, continuous,
                     [play](bool on) { play->setContinuous(on); });
}

void SoundWindowControls::bindList() {
    RecordingListView* list = forms_.frm_DoKu->lb_Sounds;
    PlayerListRows& calls = player_.listRows;
    calls.currentRow = [list] { return list->currentRow(); };
    calls.count = [list] { return list->count(); };
    calls.selectRow = [list](int row) { list->setCurrentRow(row); };
}

void SoundWindowControls::connectKeyField() {
    SoundForm& sound = *forms_.frm_Oszi;
    sound.ed1->installEventFilter(new SpaceRepeatFilter(sound.ed1));
    QObject::connect(sound.ed1_keys, &KeyEvents::keyDown, &sound,
                     [this](int code, int shift) { ed1_KeyDown(code, shift); });
    QObject::connect(sound.ed1_keys, &KeyEvents::keyUp, &sound,
                     [this](int code, int shift) { ed1_KeyUp(code, shift); });
}

// lblFreqNorm, lblFreq1 to lblFreq3: MouseDown stops for the label's speed, MouseUp plays at it.
void SoundWindowControls::connectSpeedLabels() {
    SoundForm& sound = *forms_.frm_Oszi;
    SpeedLabels* speeds = &player_.speedLabels();
    const std::array<MouseEvents*, SpeedLabels::kFastestSpeed + 1> labels = {
        sound.lblFreqNorm_mouse, sound.lblFreq1_mouse, sound.lblFreq2_mouse, sound.lblFreq3_mouse};
    for (int speed = SpeedLabels::kNormalSpeed; speed <= SpeedLabels::kFastestSpeed; ++speed) {
        MouseEvents* label = labels.at(speed);
        QObject::connect(label, &MouseEvents::mouseDown, &sound,
                         [speeds, speed] { speeds->stopForSpeed(speed); });
        QObject::connect(label, &MouseEvents::mouseUp, &sound,
                         [speeds, speed] { speeds->playAtSpeed(speed); });
    }
}

// The main window's "Sounds" label opens the file dialog.
void SoundWindowControls::connectLoadLabel() {
    MainForm& main = *forms_.frm_DoKu;
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseDown, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseDown(b, s, x, y); });
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseMove, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseMove(b, s, x, y); });
}

void SoundWindowControls::lbl_LoadWave_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    chooseFileToPlay();
}

void SoundWindowControls::chooseFileToPlay() {
    player_.loader().chooseFileToPlay(forms_.frm_Einstellungen->ed_PfadDoku->text());
}

void SoundWindowControls::lbl_LoadWave_MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    forms_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Hover);
}

void SoundWindowControls::slider_Action(int action) {
    // The position, not the value: a drag reports before the value follows it.
    if (action != QAbstractSlider::SliderNoAction) {
        player_.playback().seek(forms_.frm_Oszi->slider->sliderPosition());
    }
}

void SoundWindowControls::frx1_MouseDown(int button, int /*shift*/, int x, int /*y*/) {
    Playback& playback = player_.playback();
    PlaybackState& state = playback.state();
    if (button == mousebutton::Left) {
        player_.speedLabels().choose(SpeedLabels::kNormalSpeed);
        playback.setSlider(wholePart(x * double(PlaybackState::kMillionths) / kSeekWidth));
        if (state.playing) {
            state.pos = playback.sliderMilliseconds();
            playback.seekAndPlay(state.pos);
        }
        return;
    }
    program_.platform().dialogs.message(QStringLiteral("x!") + QString::number(x) +
                                            QStringLiteral(" Play_Len") + QString::number(state.playLength) +
                                            QStringLiteral("pos%") + QString::number(state.pos),
                                        QString(), MessageButtons::Ok, MessageIcon::None);
}

void SoundWindowControls::connectStopButton() {
    SoundForm& sound = *forms_.frm_Oszi;
    Playback* playback = &player_.playback();
    // cmdStop_MouseDown halts, cmdStop_MouseUp finishes the stop, cmdStop_Click stops.
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseDown, &sound, [playback] { playback->halt(); });
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseUp, &sound,
                     [playback] { playback->finishStop(); });
    // The button reports its click while the release is still being delivered;
    // queued, the click follows the mouse-up as the handlers expect.
    QObject::connect(
        sound.cmdStop, &QPushButton::clicked, &sound, [playback] { playback->stop(); }, Qt::QueuedConnection);
}

void SoundWindowControls::ed1_KeyDown(int keyCode, int /*shift*/) {
    forms_.frm_Oszi->ed1->setText(QString::number(keyCode));
    if (keyCode == keycode::Space) {
        program_.transmitter().togglePushToTalk();
    }
}

void SoundWindowControls::ed1_KeyUp(int /*keyCode*/, int /*shift*/) {}

void SoundWindowControls::cmd_Os_Zurück_Click() {
    // Playback goes on: the window only gets out of the way.
    forms_.frm_Oszi->hide();
}

} // namespace kestrova
