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
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseDown, &sound,
                     [playback](int b, int s, int x, int y) { playback->slider_MouseDown(b, s, x, y); });
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseUp, &sound,
                     [playback](int b, int s, int x, int y) { playback->slider_MouseUp(b, s, x, y); });
    QObject::connect(sound.slider, &QAbstractSlider::actionTriggered, &sound,
                     [this](int action) { slider_Action(action); });

    QObject::connect(sound.frx1_mouse, &MouseEvents::mouseDown, &sound,
                     [this](int b, int s, int x, int y) { frx1_MouseDown(b, s, x, y); });

    QObject::connect(
        sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseDown, &sound,
        [playback](int b, int s, int x, int y) { playback->cmd_Unterbrechen_MouseDown(b, s, x, y); });
    QObject::connect(
        sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseUp, &sound,
        [playback](int b, int s, int x, int y) { playback->cmd_Unterbrechen_MouseUp(b, s, x, y); });
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

void SoundWindowControls::connectSpeedLabels() {
    SoundForm& sound = *forms_.frm_Oszi;
    SpeedLabels& speeds = player_.speedLabels();
    QObject::connect(sound.lblFreqNorm_mouse, &MouseEvents::mouseDown, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreqNorm_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreqNorm_mouse, &MouseEvents::mouseUp, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreqNorm_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq1_mouse, &MouseEvents::mouseDown, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreq1_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq1_mouse, &MouseEvents::mouseUp, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreq1_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq2_mouse, &MouseEvents::mouseDown, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreq2_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq2_mouse, &MouseEvents::mouseUp, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreq2_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq3_mouse, &MouseEvents::mouseDown, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreq3_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq3_mouse, &MouseEvents::mouseUp, &sound,
                     [&speeds](int b, int s, int x, int y) { speeds.lblFreq3_MouseUp(b, s, x, y); });
}

// The main window's "Sounds" label opens the file dialog.
void SoundWindowControls::connectLoadLabel() {
    MainForm& main = *forms_.frm_DoKu;
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseDown, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseDown(b, s, x, y); });
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseMove, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseMove(b, s, x, y); });
}

// The dialog starts in the documentation folder as the settings form shows it.
void SoundWindowControls::lbl_LoadWave_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    player_.loader().lbl_LoadWave_MouseDown(forms_.frm_Einstellungen->ed_PfadDoku->text());
}

void SoundWindowControls::lbl_LoadWave_MouseMove(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    forms_.frm_DoKu->lbl_LoadWave->setBorder(LabelBorder::Hover);
}

void SoundWindowControls::slider_Action(int action) {
    // The position, not the value: a drag reports before the value follows it.
    if (action != QAbstractSlider::SliderNoAction) {
        player_.playback().slider_Scroll(forms_.frm_Oszi->slider->sliderPosition());
    }
}

void SoundWindowControls::frx1_MouseDown(int button, int /*shift*/, int x, int /*y*/) {
    Playback& playback = player_.playback();
    PlaybackState& state = playback.state();
    if (button == mousebutton::Left) {
        player_.lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
        player_.lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
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
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseDown, &sound,
                     [playback](int b, int s, int x, int y) { playback->cmdStop_MouseDown(b, s, x, y); });
    QObject::connect(sound.cmdStop_mouse, &MouseEvents::mouseUp, &sound,
                     [playback](int b, int s, int x, int y) { playback->cmdStop_MouseUp(b, s, x, y); });
    // The button reports its click while the release is still being delivered;
    // queued, the click follows the mouse-up as the handlers expect.
    QObject::connect(
        sound.cmdStop, &QPushButton::clicked, &sound, [playback] { playback->cmdStop_Click(); },
        Qt::QueuedConnection);
}

void SoundWindowControls::ed1_KeyDown(int keyCode, int /*shift*/) {
    forms_.frm_Oszi->ed1->setText(QString::number(keyCode));
    if (keyCode == keycode::Space) {
        program_.transmitter().lbl_TX_Click();
    }
}

void SoundWindowControls::ed1_KeyUp(int /*keyCode*/, int /*shift*/) {}

void SoundWindowControls::cmd_Os_Zurück_Click() {
    // Playback goes on: the window only gets out of the way.
    forms_.frm_Oszi->hide();
}

} // namespace kestrova
