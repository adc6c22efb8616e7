#include "transmit/TransmitWiring.h"

#include "services/Services.h"
#include "automation/AutoCq.h"
#include "automation/TimedActions.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QPushButton>
#include <QSlider>

namespace kestrova {

namespace {

void wireAutoCq(Services& program) {
    MainForm& main = *program.frm_DoKu;
    AutoCq& cq = program.autoCq();
    // All the work is on the press; the label's click does nothing.
    QObject::connect(main.lblCQ_mouse, &MouseEvents::mouseDown, &main,
                     [&cq](int button, int shift, int x, int y) { cq.lblCQ_MouseDown(button, shift, x, y); });
    QObject::connect(main.cmd_PAPA, &QPushButton::clicked, &main, [&cq] { cq.cmd_PAPA_Click(); });
}

} // namespace

void wireTransmitEvents(Services& program) {
    SoundForm& sound = *program.frm_Oszi;
    SettingsForm& form = *program.frm_Einstellungen;
    Transmitter& transmitter = program.transmitter();

    QObject::connect(sound.lbl_TX_mouse, &MouseEvents::clicked, &sound,
                     [&transmitter] { transmitter.lbl_TX_Click(); });
    form.cb_PIN_keys->setHandler([&transmitter](int& key) { transmitter.cb_PIN_KeyPress(key); });
    form.cb_PIN_RX_keys->setHandler([&transmitter](int& key) { transmitter.cb_PIN_RX_KeyPress(key); });
    QObject::connect(sound.sli_Lautst, &QAbstractSlider::actionTriggered, &sound,
                     [&transmitter](int action) { transmitter.sli_Lautst_Action(action); });
    wireAutoCq(program);
    program.timedActions().startTicking();
}

} // namespace kestrova
