#include "base/program/ControlRoomPage.h"

#include "base/desktop/EventLog.h"
#include "base/files/OpenFileLimit.h"
#include "base/mqtt/CircuitStateText.h"
#include "base/mqtt/MqttClient.h"
#include "base/mqtt/MqttSettings.h"
#include "base/web/WebService.h"
#include "base/web/WebSettings.h"

namespace kestrova {

ControlRoomPage::ControlRoomPage(std::vector<ControlRoomCircuit> circuits, const Clock& clock,
                                 EventLog& events)
    : circuits_(std::move(circuits)), events_(events),
      web_(std::make_unique<WebService>(
          board_, [this](const QString& path) { return manifests_.hashOf(path); },
          HttpLimits{.connections = static_cast<unsigned>(webConnectionBudget(openFileLimit()))})) {
    for (const ControlRoomCircuit& circuit : circuits_) {
        status_.circuits.push_back({circuit.name,
                                    circuit.number,
                                    circuit.docFolder,
                                    {},
                                    QStringLiteral("unbekannt"),
                                    circuit.problem});
        if (!circuit.problem.isEmpty()) {
            events_.record(EventPriority::Warning, circuit.name + QStringLiteral(": ") + circuit.problem);
        }
        followers_.push_back(
            std::make_unique<ArchiveFollower>(ArchiveReader(circuit.docFolder, circuit.number), clock));
    }
    for (std::size_t index = 0; index < followers_.size(); ++index) {
        follow(index);
    }
    publish(true);
}

ControlRoomPage::~ControlRoomPage() {
    web_.reset();
    if (mqtt_) {
        mqtt_->stop();
    }
}

void ControlRoomPage::follow(std::size_t index) {
    ArchiveFollower& follower = *followers_[index];
    connect(&follower, &ArchiveFollower::problemChanged, this, [this, index](const QString& problem) {
        const QString& name = circuits_[index].name;
        events_.record(problem.isEmpty() ? EventPriority::Notice : EventPriority::Warning,
                       problem.isEmpty() ? name + QStringLiteral(": Ordner wieder lesbar")
                                         : name + QStringLiteral(": ") + problem);
    });
    connect(&follower, &ArchiveFollower::changed, this, [this, index] {
        CircuitLive& live = status_.circuits[index];
        live.recordings = followers_[index]->recordings();
        live.problem =
            circuits_[index].problem.isEmpty() ? followers_[index]->problem() : circuits_[index].problem;
        publish(true);
    });
    follower.look();
}

QString ControlRoomPage::start(const QString& address, const QString& programFolder) {
    const WebSettings settings = readWebSettings(webSettingsPath(programFolder));
    if (!settings.readError.isEmpty()) {
        return settings.readError;
    }
    const QString wanted = address.isEmpty() ? settings.address : address;
    const std::optional<WebAddress> parsed = parseWebAddress(wanted);
    if (!parsed) {
        return wanted.isEmpty()
                   ? QStringLiteral("Die Leitstelle braucht die Adresse ihrer Seite (--web ADRESSE:PORT).")
                   : QStringLiteral("Die Adresse der Webseite \"%1\" ist ungültig (Form ADRESSE:PORT, etwa "
                                    "127.0.0.1:8080).")
                         .arg(wanted);
    }
    const QString error = web_->start(*parsed, settings);
    if (!error.isEmpty()) {
        return error;
    }
    events_.record(EventPriority::Notice, QStringLiteral("Leitstelle unter ") + web_->pageAddress());
    listenToStates(programFolder);
    return {};
}

quint16 ControlRoomPage::port() const {
    return web_->port();
}

// The broker of the control room's own KestrovaMqtt.ini; each circuit's retained
// status comes at once on subscribing, and at each change after.
void ControlRoomPage::listenToStates(const QString& programFolder) {
    const MqttSettings settings = readMqttSettings(mqttSettingsPath(programFolder));
    for (const QString& problem : settings.problems) {
        events_.record(EventPriority::Warning, problem);
    }
    if (!settings.enabled()) {
        return;
    }
    MqttConnection connection;
    connection.host = settings.broker;
    connection.port = settings.port;
    connection.tls = settings.tls;
    connection.caFile = settings.caFile;
    connection.user = settings.user;
    connection.password = settings.password;
    for (const ControlRoomCircuit& circuit : circuits_) {
        if (!circuit.statusTopic.isEmpty()) {
            connection.subscriptions.append(circuit.statusTopic);
        }
    }
    mqtt_ = std::make_unique<MqttClient>(connection);
    connect(mqtt_.get(), &MqttClient::messageArrived, this, &ControlRoomPage::stateArrived);
    connect(mqtt_.get(), &MqttClient::lost, this, [this](const QString& reason) {
        events_.record(EventPriority::Warning,
                       QStringLiteral("Verbindung zum MQTT-Broker verloren: ") + reason);
    });
    const QString refusal = mqtt_->start();
    if (!refusal.isEmpty()) {
        events_.record(EventPriority::Warning, refusal);
        mqtt_.reset();
    }
}

void ControlRoomPage::stateArrived(const QString& topic, const QByteArray& payload) {
    for (std::size_t index = 0; index < circuits_.size(); ++index) {
        if (circuits_[index].statusTopic == topic) {
            status_.circuits[index].state = circuitStateText(payload);
        }
    }
    publish(false);
}

void ControlRoomPage::publish(bool listChanged) {
    if (listChanged) {
        ++status_.listRevision;
    }
    board_.publish(status_);
}

} // namespace kestrova
