#pragma once

#include "base/mqtt/MqttSettings.h"

#include <QObject>
#include <QString>
#include <memory>

namespace kestrova {

class Alarms;
class Archive;
class EventLog;
class FiledRecordings;
class MqttPublisher;
class Recorder;
class Transmitter;
struct SettingsValues;

// What the MQTT messages tell of, and where the program keeps its files.
struct MqttSources {
    Recorder& recorder;
    Transmitter& transmitter;
    Archive& archive;
    const FiledRecordings& filed;
    const SettingsValues& settings;
    EventLog& events;
    QString programFolder;
    QString pageBase; // empty while no page runs
    const Alarms& alarms;
};

// The running program's state, filed recordings and level published to the broker
// of KestrovaMqtt.ini. It follows the signals of the recorder, the transmitter, the
// archive, the filing and the alarms; nothing is polled. The connection starts once the event
// loop runs, when Kestrova.ini has been read and the circuit is known.
class MqttPublishing {
public:
    // Null when the file names no usable broker; its problems go to the event log.
    static std::unique_ptr<MqttPublishing> startIfAsked(const MqttSources& sources);

    MqttPublishing(const MqttSources& sources, const MqttSettings& settings);
    ~MqttPublishing();
    MqttPublishing(const MqttPublishing&) = delete;
    MqttPublishing& operator=(const MqttPublishing&) = delete;

    // Called once the last recording is filed: the offline status and a goodbye.
    void finish();

private:
    void subscribe();
    void start();
    void publishStatus();

    MqttSources sources_;
    std::unique_ptr<MqttPublisher> publisher_;
    bool keyed_ = false;
    bool inputDelivering_ = true;
    QString deletionHold_;
    // The subscriptions end with it.
    QObject subscriber_;
};

} // namespace kestrova
