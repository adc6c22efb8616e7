#pragma once

#include "base/mqtt/LevelThrottle.h"
#include "base/mqtt/MqttSettings.h"
#include "base/mqtt/MqttTopics.h"
#include "base/mqtt/ProgramStatus.h"
#include "base/mqtt/RecordingDelivery.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace kestrova {

class EventLog;
class MqttClient;
struct FiledRecording;

// The program's messages to a broker: the status (retained, the last will saying
// offline), each filed recording (QoS 1 through the queue on disk) and the level.
// It lives on the program's thread and never waits for the broker: libmosquitto
// runs the connection on a thread of its own and reports back through queued
// signals. The connection's trouble goes to the event log once when it begins and
// once when it ends.
class MqttPublisher : public QObject {
    Q_OBJECT
public:
    // The recordings filed before start() wait in the queue.
    MqttPublisher(const MqttSettings& settings, const QString& programFolder, EventLog& events);
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Connects in the background under the topics of this circuit, fixed from now on.
    void start(const QString& circuit);
    void take(const FiledRecording& recording);
    void setStatus(ProgramStatus status);
    void setLevel(int level);
    // The offline status and a goodbye to the broker; what waits stays on the disk.
    void finish();

    qsizetype waiting() const { return delivery_.waiting(); }
    bool isConnected() const { return connected_; }

signals:
    // For the tests: the connection is up, the status published.
    void connectionUp();

private:
    void onConnected();
    void onLost(const QString& reason);
    void onRefused(const QString& reason);
    void reportTrouble(const QString& line);
    int sendRecording(const QByteArray& record);
    void publishStatus();
    QString brokerName() const;

    MqttSettings settings_;
    EventLog& events_;
    MqttTopics topics_;
    ProgramStatus status_;
    RecordingDelivery delivery_;
    LevelThrottle level_;
    QTimer unreachable_;
    std::unique_ptr<MqttClient> client_;
    bool connected_ = false;
    bool everConnected_ = false;
    bool troubleReported_ = false;
    bool finished_ = false;
};

} // namespace kestrova
