#include "transmit/TransmitWiring.h"

#include "app/Program.h"
#include "transmit/Transmitter.h"
#include "ui/ControlEvents.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QSlider>

namespace kestrova {

void wireTransmitEvents(Program& program) {
    SoundForm& sound = *program.frm_Oszi;
    SettingsForm& form = *program.frm_Einstellungen;
    Transmitter& transmitter = program.transmitter();

    QObject::connect(sound.lbl_TX_mouse, &MouseEvents::clicked, &sound,
                     [&transmitter] { transmitter.lbl_TX_Click(); });
    form.cb_PIN_keys->setHandler([&transmitter](int& key) { transmitter.cb_PIN_KeyPress(key); });
    form.cb_PIN_RX_keys->setHandler([&transmitter](int& key) { transmitter.cb_PIN_RX_KeyPress(key); });
    // User moves only: applying the stored setting moves the slider too.
    QObject::connect(sound.sli_Lautst, &QAbstractSlider::actionTriggered, &sound, [&transmitter](int action) {
        if (action != QAbstractSlider::SliderNoAction) {
            transmitter.sli_Lautst_Scroll();
        }
    });
}

} // namespace kestrova
