#include "gui/automation/AutoCqControls.h"

#include "base/automation/AutoCq.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/Forms.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/StatusBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace kestrova {

namespace {

void showCqOnMainWindow(AutoCq* cq, MainForm& main) {
    QObject::connect(cq, &AutoCq::cqChanged, &main, [&main](bool pressed) {
        if (!pressed) {
            showReleased(main.lblCQ);
            return;
        }
        showPressed(main.lblCQ);
        // The window keeps showing the running cycle, whatever held its painting back.
        main.setUpdatesEnabled(true);
    });
    QObject::connect(cq, &AutoCq::squelchLabelShown, &main,
                     [&main](bool shown) { main.lblrsp->setVisible(shown); });
    QObject::connect(cq, &AutoCq::squelchTextChanged, &main,
                     [&main](const QString& text) { main.lblrsp->setText(text); });
    QObject::connect(cq, &AutoCq::cqAborted, &main, [&main] {
        main.lblrsp->setEnabled(false);
        main.lblCQ->setEnabled(true);
    });
}

// The position, not the value: a drag moves it before the value follows.
void followVolumeSlider(AutoCq* cq, SoundForm& sound) {
    QSlider* slider = sound.sli_Lautst;
    const auto take = [cq, slider] { cq->setVolumePosition(slider->sliderPosition()); };
    take();
    QObject::connect(slider, &QAbstractSlider::valueChanged, &sound, take);
    QObject::connect(slider, &QAbstractSlider::sliderMoved, &sound, take);
}

} // namespace

void connectAutoCqControls(AutoCq& cq, const Forms& forms, StatusBar& statusBar) {
    MainForm& main = *forms.frm_DoKu;
    SettingsForm& form = *forms.frm_Einstellungen;
    AutoCq* autoCq = &cq;

    // lblCQ_MouseDown: all the work is on the press, the label's click does nothing.
    // The left button starts and stops, any other asks for another file.
    QObject::connect(main.lblCQ_mouse, &MouseEvents::mouseDown, &main, [autoCq](int button) {
        if (button == mousebutton::Left) {
            autoCq->toggleCycle();
        } else {
            autoCq->chooseOtherFile();
        }
    });
    // cmd_PAPA_Click: a left click on lblCQ.
    QObject::connect(main.cmd_PAPA, &QPushButton::clicked, &main, [autoCq] { autoCq->toggleCycle(); });
    showCqOnMainWindow(autoCq, main);
    QObject::connect(autoCq, &AutoCq::notice, &main,
                     [&statusBar](const QString& text) { statusBar.showNotice(text); });

    followVolumeSlider(autoCq, *forms.frm_Oszi);
    autoCq->setTxControlBox(form.chk_TX->isChecked());
    QObject::connect(form.chk_TX, &QCheckBox::toggled, &form,
                     [autoCq](bool checked) { autoCq->setTxControlBox(checked); });
}

} // namespace kestrova
