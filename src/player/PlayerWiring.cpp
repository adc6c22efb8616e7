#include "player/PlayerWiring.h"

#include "services/Services.h"
#include "player/Player.h"
#include "player/SpaceRepeatFilter.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace kestrova {

void wirePlayerEvents(Services& program) {
    SoundForm& sound = *program.frm_Oszi;
    MainForm& main = *program.frm_DoKu;
    Player& player = program.player();

    QObject::connect(sound.slider_mouse, &MouseEvents::mouseDown, &sound,
                     [&player](int b, int s, int x, int y) { player.slider_MouseDown(b, s, x, y); });
    QObject::connect(sound.slider_mouse, &MouseEvents::mouseUp, &sound,
                     [&player](int b, int s, int x, int y) { player.slider_MouseUp(b, s, x, y); });
    QObject::connect(sound.slider, &QAbstractSlider::actionTriggered, &sound,
                     [&player](int action) { player.slider_Action(action); });

    QObject::connect(sound.frx1_mouse, &MouseEvents::mouseDown, &sound,
                     [&player](int b, int s, int x, int y) { player.frx1_MouseDown(b, s, x, y); });

    QObject::connect(
        sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseDown, &sound,
        [&player](int b, int s, int x, int y) { player.cmd_Unterbrechen_MouseDown(b, s, x, y); });
    QObject::connect(sound.cmd_Unterbrechen_mouse, &MouseEvents::mouseUp, &sound,
                     [&player](int b, int s, int x, int y) { player.cmd_Unterbrechen_MouseUp(b, s, x, y); });

    player.connectStopButton();

    sound.ed1->installEventFilter(new SpaceRepeatFilter(sound.ed1));
    QObject::connect(sound.ed1_keys, &KeyEvents::keyDown, &sound,
                     [&player](int code, int shift) { player.ed1_KeyDown(code, shift); });
    QObject::connect(sound.ed1_keys, &KeyEvents::keyUp, &sound,
                     [&player](int code, int shift) { player.ed1_KeyUp(code, shift); });

    QObject::connect(sound.lblFreqNorm_mouse, &MouseEvents::mouseDown, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreqNorm_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreqNorm_mouse, &MouseEvents::mouseUp, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreqNorm_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq1_mouse, &MouseEvents::mouseDown, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreq1_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq1_mouse, &MouseEvents::mouseUp, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreq1_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq2_mouse, &MouseEvents::mouseDown, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreq2_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq2_mouse, &MouseEvents::mouseUp, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreq2_MouseUp(b, s, x, y); });
    QObject::connect(sound.lblFreq3_mouse, &MouseEvents::mouseDown, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreq3_MouseDown(b, s, x, y); });
    QObject::connect(sound.lblFreq3_mouse, &MouseEvents::mouseUp, &sound,
                     [&player](int b, int s, int x, int y) { player.lblFreq3_MouseUp(b, s, x, y); });

    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseDown, &main,
                     [&player](int b, int s, int x, int y) { player.lbl_LoadWave_MouseDown(b, s, x, y); });
    QObject::connect(main.lbl_LoadWave_mouse, &MouseEvents::mouseMove, &main,
                     [&player](int b, int s, int x, int y) { player.lbl_LoadWave_MouseMove(b, s, x, y); });
    QObject::connect(sound.cmd_Os_Zurück, &QPushButton::clicked, &sound,
                     [&player] { player.cmd_Os_Zurück_Click(); });
}

} // namespace kestrova
