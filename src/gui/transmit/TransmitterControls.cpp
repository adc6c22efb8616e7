#include "gui/transmit/TransmitterControls.h"

#include "base/transmit/Transmitter.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/Forms.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/StatusBar.h"

#include <QComboBox>
#include <QSlider>

namespace kestrova {

void connectTransmitterControls(Transmitter& transmitter, const Forms& forms, StatusBar& statusBar) {
    SoundForm& sound = *forms.frm_Oszi;
    SettingsForm& form = *forms.frm_Einstellungen;
    Transmitter* tx = &transmitter;

    // lbl_TX_Click
    QObject::connect(sound.lbl_TX_mouse, &MouseEvents::clicked, &sound, [tx] { tx->togglePushToTalk(); });
    QObject::connect(tx, &Transmitter::txButtonChanged, &sound, [&sound](bool pressed) {
        if (pressed) {
            showPressed(sound.lbl_TX);
        } else {
            showReleased(sound.lbl_TX);
        }
    });
    QObject::connect(tx, &Transmitter::txButtonUnusable, &sound, [&sound] { sound.lbl_TX->hide(); });
    QObject::connect(tx, &Transmitter::notice, &sound,
                     [&statusBar](const QString& text) { statusBar.showNotice(text); });

    // User moves only: applying the stored setting moves the slider too. The
    // position, not the value: a drag reports before the value follows it.
    QObject::connect(sound.sli_Lautst, &QAbstractSlider::actionTriggered, &sound, [tx, &sound](int action) {
        if (action != QAbstractSlider::SliderNoAction) {
            tx->chooseVolume(sound.sli_Lautst->sliderPosition());
        }
    });
    tx->setOutputDevice(form.cb_Device->currentIndex());
    QObject::connect(form.cb_Device, &QComboBox::currentIndexChanged, &form,
                     [tx](int index) { tx->setOutputDevice(index); });

    // cb_PIN_KeyPress, cb_PIN_RX_KeyPress: Enter takes the field's text, whatever the pin.
    form.cb_PIN_keys->setHandler([tx](int& key) {
        if (key != keycode::Enter) {
            key = tx->pttPinTyped(QChar(static_cast<char16_t>(key))).unicode();
        }
    });
    form.cb_PIN_RX_keys->setHandler([tx](int& key) {
        if (key != keycode::Enter) {
            key = tx->squelchPinTyped(QChar(static_cast<char16_t>(key))).unicode();
        }
    });
    QObject::connect(tx, &Transmitter::pttPinRefused, &form,
                     [&form] { form.cb_PIN->setEditText(QString()); });
    QObject::connect(tx, &Transmitter::squelchPinRefused, &form,
                     [&form] { form.cb_PIN_RX->setEditText(QString()); });
}

} // namespace kestrova
