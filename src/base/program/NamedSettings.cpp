#include "base/program/NamedSettings.h"

#include "base/program/InputDevices.h"
#include "base/web/WebSettings.h"

namespace kestrova {

namespace {

QString checkWebAddress(const QString& value) {
    return parseWebAddress(value)
               ? QString()
               : QStringLiteral("„web.adresse“ braucht ADRESSE:PORT, etwa 127.0.0.1:8080.");
}

std::vector<NamedSetting> table() {
    return {
        {.name = QStringLiteral("dienst.eingang"),
         .path = serviceSettingsPath,
         .key = QStringLiteral("eingang"),
         .meaning = QStringLiteral("Eingabegerät des Dienstes (ein Teil seines Namens); leer: der "
                                   "Standardeingang")},
        {.name = QStringLiteral("web.adresse"),
         .path = webSettingsPath,
         .key = QStringLiteral("adresse"),
         .meaning = QStringLiteral("Adresse und Port der Webseite, wo --web keine nennt"),
         .check = checkWebAddress},
        {.name = QStringLiteral("web.zertifikat"),
         .path = webSettingsPath,
         .key = QStringLiteral("zertifikat"),
         .meaning = QStringLiteral("Zertifikat (PEM) für HTTPS")},
        {.name = QStringLiteral("web.schluessel"),
         .path = webSettingsPath,
         .key = QStringLiteral("schluessel"),
         .meaning = QStringLiteral("Schlüssel (PEM) zum Zertifikat")},
    };
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
