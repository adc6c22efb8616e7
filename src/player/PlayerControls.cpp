// The player's controls on the sound window and the main window, connected to
// their handlers in one place.
#include "player/Player.h"
#include "player/SpaceRepeatFilter.h"
#include "services/Services.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace kestrova {

void Player::connectControls() {
    SoundForm& sound = *program_.frm_Oszi;
    MainForm& main = *program_.frm_DoKu;

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

    connectStopButton();

    sound.ed1->installEventFilter(new SpaceRepeatFilter(sound.ed1));
    QObject::connect(sound.ed1_keys, &KeyEvents::keyDown, &sound,
                     [this](int code, int shift) { ed1_KeyDown(code, shift); });
    QObject::connect(sound.ed1_keys, &KeyEvents::keyUp, &sound,
                     [this](int code, int shift) { ed1_KeyUp(code, shift); });

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

    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseDown, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseDown(b, s, x, y); });
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseMove, &main,
                     [this](int b, int s, int x, int y) { lbl_LoadWave_MouseMove(b, s, x, y); });
    QObject::connect(sound.cmd_Os_Zurück, &QPushButton::clicked, &sound, [this] { cmd_Os_Zurück_Click(); });
}

} // namespace kestrova
