#include "base/mqtt/MqttSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <optional>

namespace kestrova {

namespace {

const QString kBroker = QStringLiteral("broker");
const QString kPort = QStringLiteral("port");
const QString kTls = QStringLiteral("tls");
const QString kCaFile = QStringLiteral("ca_datei");
const QString kUser = QStringLiteral("benutzer");
const QString kPassword = QStringLiteral("passwort");
const QString kPrefix = QStringLiteral("praefix");
const QString kCircuit = QStringLiteral("kreis");
const QString kHomeAssistant = QStringLiteral("homeassistant");
const QString kQueue = QStringLiteral("warteschlange");

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

    void take(const QString& key, const QString& value) {
        if (key == kBroker) {
            takeBroker(value);
        } else if (key == kPort) {
            portText_ = value;
        } else if (key == kTls) {
            settings_.tls = choice(key, value, false);
        } else if (key == kCaFile) {
            takeCaFile(value);
        } else if (key == kUser) {
            settings_.user = value;
        } else if (key == kPassword) {
            settings_.password = value;
        } else if (key == kPrefix) {
            settings_.prefix = topicPart(key, value, true, settings_.prefix);
        } else if (key == kCircuit) {
            settings_.circuit = value.isEmpty() ? QString() : topicPart(key, value, false, QString());
        } else if (key == kHomeAssistant) {
            settings_.homeAssistant = choice(key, value, false);
        } else if (key == kQueue) {
            takeQueueBound(value);
        } else {
            settings_.problems << QStringLiteral(
                                      "%1: der Schlüssel \"%2\" ist unbekannt und bleibt unbeachtet.")
                                      .arg(fileName(), key);
        }
    }

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

private:
    void takeBroker(const QString& value) {
        if (value.isEmpty() || isUsableBroker(value)) {
            settings_.broker = value;
            return;
        }
        settings_.broker.clear();
        settings_.problems << badValue(kBroker, value, QStringLiteral("MQTT bleibt aus"));
    }

    void takeCaFile(const QString& value) {
        const QFileInfo file(value);
        if (value.isEmpty() || (file.isFile() && file.isReadable())) {
            settings_.caFile = value;
            return;
        }
        settings_.caFile.clear();
        settings_.problems << badValue(kCaFile, value,
                                       QStringLiteral("keine lesbare Datei, es gelten die CAs des Systems"));
    }

    void takeQueueBound(const QString& value) {
        const std::optional<int> bound = numberIn(value, 1, kLargestQueue);
        if (bound) {
            settings_.queueBound = *bound;
            return;
        }
        settings_.problems << badValue(kQueue, value,
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

    MqttSettings& settings_;
    QString portText_;
};

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
