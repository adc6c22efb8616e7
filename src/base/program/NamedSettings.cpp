#include "base/program/NamedSettings.h"

#include "base/aftercommand/AfterCommandSettings.h"
#include "base/mqtt/MqttSettings.h"
#include "base/program/InputDevices.h"
#include "base/web/WebSettings.h"

namespace kestrova {

namespace {

QString checkWebAddress(const QString& value) {
    return parseWebAddress(value)
               ? QString()
               : QStringLiteral("„web.adresse“ braucht ADRESSE:PORT, etwa 127.0.0.1:8080.");
}

NamedSetting mqtt(const char* key, const QString& meaning, bool secret = false) {
    const QString name = QString::fromLatin1(key);
    return {.name = QStringLiteral("mqtt.") + name,
            .path = mqttSettingsPath,
            .key = name,
            .meaning = meaning,
            .check = [name](const QString& value) { return mqttValueProblem(name, value); },
            .secret = secret};
}

NamedSetting afterRecording(const char* key, const char* name, const QString& meaning) {
    const QString line = QString::fromLatin1(key);
    return {.name = QString::fromLatin1(name),
            .path = afterCommandSettingsPath,
            .key = line,
            .meaning = meaning,
            .check = [line](const QString& value) { return afterCommandValueProblem(line, value); }};
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
        mqtt("broker", QStringLiteral("MQTT-Broker (Name oder Adresse); leer: MQTT aus")),
        mqtt("port", QStringLiteral("Port des Brokers (1883, mit TLS 8883)")),
        mqtt("tls", QStringLiteral("TLS zum Broker: ja oder nein")),
        mqtt("ca_datei", QStringLiteral("CA-Datei für TLS; leer: die CAs des Systems")),
        mqtt("benutzer", QStringLiteral("Benutzer am Broker")),
        mqtt("passwort", QStringLiteral("Passwort am Broker"), true),
        mqtt("praefix", QStringLiteral("Anfang der Topics (kestrova)")),
        mqtt("kreis", QStringLiteral("Name des Funkkreises in den Topics (kreis und die Nummer)")),
        mqtt("homeassistant", QStringLiteral("Home-Assistant-Erkennung senden: ja oder nein")),
        mqtt("warteschlange", QStringLiteral("höchstens so viele Aufnahmen warten auf den Broker (10000)")),
        afterRecording("nach_aufnahme", "nach_aufnahme",
                       QStringLiteral("Befehl nach jeder abgelegten Aufnahme (sh -c; die Angaben in "
                                      "KESTROVA_DATEI, KESTROVA_SHA256 …); leer: keiner")),
        afterRecording("zeitlimit", "nach_aufnahme.zeitlimit",
                       QStringLiteral("so viele Sekunden darf der Befehl laufen (600)")),
        afterRecording("gleichzeitig", "nach_aufnahme.gleichzeitig",
                       QStringLiteral("so viele Befehle laufen höchstens zugleich: 1 oder 2 (2)")),
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
