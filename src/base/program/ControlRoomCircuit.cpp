#include "base/program/ControlRoomCircuit.h"

#include "base/mqtt/MqttSettings.h"
#include "base/mqtt/MqttTopics.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {

void readSettings(ControlRoomCircuit& circuit) {
    const SettingsFileRead read = readSettingsFile(settingsFilePath(circuit.folder));
    SettingsValues values;
    SettingsGuesses guesses;
    if (!read.lines || !readSettingsValues(*read.lines, values, guesses)) {
        circuit.problem = QStringLiteral("Die Einstellungen %1 lassen sich nicht lesen.")
                              .arg(settingsFilePath(circuit.folder));
        return;
    }
    circuit.number = QString::number(values.circuitNumber);
    circuit.name = values.circuitName.trimmed().isEmpty() ? QStringLiteral("Funkkreis ") + circuit.number
                                                          : values.circuitName.trimmed();
    // A relative folder is the circuit's own: its service runs in its program folder.
    circuit.docFolder = QDir::cleanPath(QDir(circuit.folder).absoluteFilePath(values.docFolder.trimmed()));
    const MqttSettings mqtt = readMqttSettings(mqttSettingsPath(circuit.folder));
    circuit.statusTopic = MqttTopics{mqtt.prefix, mqtt.circuitFor(values.circuitNumber)}.status();
}

} // namespace

ControlRoomCircuit readControlRoomCircuit(const QString& folder) {
    ControlRoomCircuit circuit;
    circuit.folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    circuit.name = QFileInfo(circuit.folder).fileName();
    circuit.docFolder = circuit.folder;
    if (QFileInfo::exists(settingsFilePath(circuit.folder))) {
        readSettings(circuit);
    }
    return circuit;
}

} // namespace kestrova
