#include "base/program/NamedSettings.h"

#include "base/aftercommand/AfterCommandSettings.h"
#include "base/alarm/AlarmSettings.h"
#include "base/mqtt/MqttSettings.h"
#include "base/program/InputDevices.h"
#include "base/web/WebSettings.h"

namespace kestrova {

namespace {

// The files in the order --einstellungen lists them; each part names its own lines.
std::vector<NamedSetting> table() {
    std::vector<NamedSetting> settings;
    for (std::vector<NamedSetting> lines : {serviceSettingLines(), webSettingLines(), mqttSettingLines(),
                                            afterCommandSettingLines(), alarmSettingLines()}) {
        settings.insert(settings.end(), lines.begin(), lines.end());
    }
    return settings;
}

} // namespace

const std::vector<NamedSetting>& namedSettings() {
    static const std::vector<NamedSetting> settings = table();
    return settings;
}

const NamedSetting* namedSettingCalled(const QString& name) {
    for (const NamedSetting& setting : namedSettings()) {
        if (setting.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            return &setting;
        }
    }
    return nullptr;
}

} // namespace kestrova
