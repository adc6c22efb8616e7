#include "base/program/InputDevices.h"

#include "base/audio/AudioInput.h"

namespace kestrova {

QStringList usableInputDevices(AudioInput& input) {
    QStringList names;
    for (const InputDeviceInfo& device : input.devices()) {
        if (device.canRecordMono8Bit11025) {
            names << device.name.trimmed();
        }
    }
    return names;
}

QString noInputDevicesMessage() {
    return QStringLiteral(
        "!No audio devices available!\r\rAm Soundkarteneingang ist evtl. keine Tonquelle "
        "vorhanden!\rSchließen Sie zuerst das Programm, stellen einen Anschluß zur Tonquelle "
        "her\rund starten das Programm neu.\r\r(W7 verhält sich zu den Vorgängerversionen "
        "anders)\rquorbel");
}

} // namespace kestrova
