#include "base/mqtt/MqttSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <optional>

namespace kestrova {

namespace {

// The keys the reading's end speaks of; the others are named in their rows only.
const QString kPort = QStringLiteral("port");
const QString kUser = QStringLiteral("benutzer");
const QString kPassword = QStringLiteral("passwort");

constexpr int kPlainPort = 1883;
constexpr int kTlsPort = 8883;
constexpr int kLargestQueue = 1000000;

QString fileName() {
    return QStringLiteral("KestrovaMqtt.ini");
}

QString badValue(const QString& key, const QString& value, const QString& consequence) {
    return QStringLiteral("%1: der Wert von \"%2\" (\"%3\") ist ungültig; %4.")
        .arg(fileName(), key, value, consequence);
}

std::optional<bool> yesNo(const QString& value) {
    if (value.compare(QStringLiteral("ja"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (value.compare(QStringLiteral("nein"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    return std::nullopt;
}

std::optional<int> numberIn(const QString& value, int lowest, int highest) {
    bool numeric = false;
    const int number = value.toInt(&numeric);
    if (!numeric || number < lowest || number > highest) {
        return std::nullopt;
    }
    return number;
}

bool isUsableBroker(const QString& host) {
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$"));
    return hostName.match(host).hasMatch() || !QHostAddress(host).isNull();
}

// One level of a topic: no separator, no wildcard.
bool isTopicLevels(const QString& text, bool severalLevels) {
    static const QRegularExpression forbidden(QStringLiteral("[+#\\s]"));
    if (text.isEmpty() || text.contains(forbidden) || text.startsWith(QLatin1Char('/')) ||
        text.endsWith(QLatin1Char('/')) || text.contains(QStringLiteral("//"))) {
        return false;
    }
    return severalLevels || !text.contains(QLatin1Char('/'));
}

class SettingsReading {
public:
    explicit SettingsReading(MqttSettings& settings) : settings_(settings) {}

    void take(const QString& key, const QString& value);

    // The port's default follows TLS, which may come later in the file.
    void finish() {
        const int standard = settings_.tls ? kTlsPort : kPlainPort;
        settings_.port = standard;
        if (!portText_.isEmpty()) {
            const std::optional<int> port = numberIn(portText_, 1, 65535);
            if (port) {
                settings_.port = *port;
            } else {
                settings_.problems << badValue(kPort, portText_, QStringLiteral("es gilt %1").arg(standard));
            }
        }
        if (!settings_.password.isEmpty() && settings_.user.isEmpty()) {
            settings_.problems << QStringLiteral("%1: \"%2\" ohne \"%3\" bleibt unbeachtet.")
                                      .arg(fileName(), kPassword, kUser);
            settings_.password.clear();
        }
    }

    MqttSettings& settings() { return settings_; }
    void takePort(const QString& value) { portText_ = value; }

    void takeBroker(const QString& key, const QString& value) {
        if (value.isEmpty() || isUsableBroker(value)) {
            settings_.broker = value;
            return;
        }
        settings_.broker.clear();
        settings_.problems << badValue(key, value, QStringLiteral("MQTT bleibt aus"));
    }

    void takeCaFile(const QString& key, const QString& value) {
        const QFileInfo file(value);
        if (value.isEmpty() || (file.isFile() && file.isReadable())) {
            settings_.caFile = value;
            return;
        }
        settings_.caFile.clear();
        settings_.problems << badValue(key, value,
                                       QStringLiteral("keine lesbare Datei, es gelten die CAs des Systems"));
    }

    void takeQueueBound(const QString& key, const QString& value) {
        const std::optional<int> bound = numberIn(value, 1, kLargestQueue);
        if (bound) {
            settings_.queueBound = *bound;
            return;
        }
        settings_.problems << badValue(key, value,
                                       QStringLiteral("es gilt %1").arg(MqttSettings{}.queueBound));
    }

    bool choice(const QString& key, const QString& value, bool standard) {
        const std::optional<bool> chosen = yesNo(value);
        if (chosen) {
            return *chosen;
        }
        settings_.problems << badValue(key, value, QStringLiteral("es gilt \"nein\""));
        return standard;
    }

    QString topicPart(const QString& key, const QString& value, bool severalLevels, const QString& standard) {
        if (isTopicLevels(value, severalLevels)) {
            return value;
        }
        const QString shown = standard.isEmpty() ? QStringLiteral("kreis<N>") : standard;
        settings_.problems << badValue(key, value, QStringLiteral("es gilt \"%1\"").arg(shown));
        return standard;
    }

private:
    MqttSettings& settings_;
    QString portText_;
};

// A line of KestrovaMqtt.ini: its key, what --einstellungen says of it and how the
// reading takes its value.
struct MqttLine {
    QString key;
    QString meaning;
    void (*take)(SettingsReading& reading, const QString& key, const QString& value);
    bool secret = false;
};

using R = SettingsReading;
using S = const QString;

// The one list of the file's lines, which the reading and the command line both walk.
const std::vector<MqttLine>& mqttLines() {
    static const std::vector<MqttLine> lines{
        {QStringLiteral("broker"), QStringLiteral("MQTT-Broker (Name oder Adresse); leer: MQTT aus"),
         [](R& r, S& k, S& v) { r.takeBroker(k, v); }},
        {kPort, QStringLiteral("Port des Brokers (1883, mit TLS 8883)"),
         [](R& r, S&, S& v) { r.takePort(v); }},
        {QStringLiteral("tls"), QStringLiteral("TLS zum Broker: ja oder nein"),
         [](R& r, S& k, S& v) { r.settings().tls = r.choice(k, v, false); }},
        {QStringLiteral("ca_datei"), QStringLiteral("CA-Datei für TLS; leer: die CAs des Systems"),
         [](R& r, S& k, S& v) { r.takeCaFile(k, v); }},
        {kUser, QStringLiteral("Benutzer am Broker"), [](R& r, S&, S& v) { r.settings().user = v; }},
        {kPassword, QStringLiteral("Passwort am Broker"), [](R& r, S&, S& v) { r.settings().password = v; },
         true},
        {QStringLiteral("praefix"), QStringLiteral("Anfang der Topics (kestrova)"),
         [](R& r, S& k, S& v) { r.settings().prefix = r.topicPart(k, v, true, r.settings().prefix); }},
        {QStringLiteral("kreis"), QStringLiteral("Name des Funkkreises in den Topics (kreis und die Nummer)"),
         [](R& r, S& k, S& v) {
             r.settings().circuit = v.isEmpty() ? QString() : r.topicPart(k, v, false, {});
         }},
        {QStringLiteral("homeassistant"), QStringLiteral("Home-Assistant-Erkennung senden: ja oder nein"),
         [](R& r, S& k, S& v) { r.settings().homeAssistant = r.choice(k, v, false); }},
        {QStringLiteral("warteschlange"),
         QStringLiteral("höchstens so viele Aufnahmen warten auf den Broker (10000)"),
         [](R& r, S& k, S& v) { r.takeQueueBound(k, v); }},
    };
    return lines;
}

void SettingsReading::take(const QString& key, const QString& value) {
    for (const MqttLine& line : mqttLines()) {
        if (line.key == key) {
            line.take(*this, key, value);
            return;
        }
    }
    settings_.problems << QStringLiteral("%1: der Schlüssel \"%2\" ist unbekannt und bleibt unbeachtet.")
                              .arg(fileName(), key);
}

// The file holds a password: nobody but its owner should read it.
void warnWhenOthersRead(const QString& path, MqttSettings& settings) {
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (!settings.password.isEmpty() && (QFileInfo(path).permissions() & others)) {
        settings.problems << QStringLiteral("%1 enthält ein Passwort und ist für andere lesbar; "
                                            "bitte mit \"chmod 600\" schützen.")
                                 .arg(QDir::toNativeSeparators(path));
    }
}

} // namespace

QString MqttSettings::circuitFor(long long circuitNumber) const {
    return circuit.isEmpty() ? QStringLiteral("kreis") + QString::number(circuitNumber) : circuit;
}

QString mqttSettingsPath(const QString& programFolder) {
    return QDir(programFolder).filePath(fileName());
}

QString mqttQueuePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaMqtt.warteschlange"));
}

MqttSettings readMqttSettings(const QString& path) {
    MqttSettings settings;
    const NamedSettingsFile file = readNamedSettings(path);
    if (!file.readError.isEmpty()) {
        settings.problems << file.readError + QStringLiteral(" MQTT bleibt aus.");
        return settings;
    }
    SettingsReading reading(settings);
    for (const auto& [key, value] : file.entries()) {
        reading.take(key, value);
    }
    reading.finish();
    warnWhenOthersRead(path, settings);
    return settings;
}

std::vector<NamedSetting> mqttSettingLines() {
    std::vector<NamedSetting> settings;
    for (const MqttLine& line : mqttLines()) {
        const QString key = line.key;
        settings.push_back({.name = QStringLiteral("mqtt.") + key,
                            .path = mqttSettingsPath,
                            .key = key,
                            .meaning = line.meaning,
                            .check = [key](const QString& value) { return mqttValueProblem(key, value); },
                            .secret = line.secret});
    }
    return settings;
}

QString mqttValueProblem(const QString& key, const QString& value) {
    MqttSettings settings;
    SettingsReading reading(settings);
    reading.take(key, value);
    if (key == kPort) {
        reading.finish();
    }
    return settings.problems.join(QLatin1Char(' '));
}

} // namespace kestrova
