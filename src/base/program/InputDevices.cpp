#include "base/program/InputDevices.h"

#include "base/audio/AudioInput.h"
#include "base/settings/NamedSettingsFile.h"

#include <QDir>

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

namespace {

// The service's one line so far.
const QString kInputKey = QStringLiteral("eingang");

} // namespace

QString serviceSettingsPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaDienst.ini"));
}

std::vector<NamedSetting> serviceSettingLines() {
    return {{.name = QStringLiteral("dienst.") + kInputKey,
             .path = serviceSettingsPath,
             .key = kInputKey,
             .meaning = QStringLiteral("Eingabegerät des Dienstes (ein Teil seines Namens); leer: der "
                                       "Standardeingang")}};
}

QString chosenInputDevice(const QString& programFolder) {
    return readNamedSettings(serviceSettingsPath(programFolder)).value(kInputKey);
}

int inputDevicePosition(const QStringList& usable, const QString& chosen) {
    for (qsizetype i = 0; i < usable.size(); ++i) {
        if (usable.at(i).contains(chosen, Qt::CaseInsensitive)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString noInputDevicesMessage() {
    return QStringLiteral(
        "!No audio devices available!\r\rAm Soundkarteneingang ist evtl. keine Tonquelle "
        "vorhanden!\rSchließen Sie zuerst das Programm, stellen einen Anschluß zur Tonquelle "
        "her\rund starten das Programm neu.\r\r(W7 verhält sich zu den Vorgängerversionen "
        "anders)\rquorbel");
}

} // namespace kestrova
