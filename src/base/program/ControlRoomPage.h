#pragma once

#include "base/archive/ArchiveFollower.h"
#include "base/common/LiveStatus.h"
#include "base/integrity/ManifestLookup.h"
#include "base/program/ControlRoomCircuit.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace kestrova {

class Clock;
class EventLog;
class MqttClient;
class WebService;

// One web page over several circuits (kestrova --leitstelle): their recordings, the
// archive's days and listening along for all of them, each row with its circuit, and
// each circuit's state from its status message when a broker is named. It only reads
// the circuits' folders: through ArchiveFollower's reader, and the manifests for the
// hashes; it takes no folder's lock and writes nowhere.
class ControlRoomPage : public QObject {
    Q_OBJECT
public:
    ControlRoomPage(std::vector<ControlRoomCircuit> circuits, const Clock& clock, EventLog& events);
    ~ControlRoomPage() override;
    ControlRoomPage(const ControlRoomPage&) = delete;
    ControlRoomPage& operator=(const ControlRoomPage&) = delete;

    // The page at `address` (empty: as its KestrovaWeb.ini says), with the password and
    // the broker of the control room's own program folder; the German message why it
    // cannot start, or empty.
    QString start(const QString& address, const QString& programFolder);
    quint16 port() const;
    const LiveStatus& status() const { return status_; }

private:
    void follow(std::size_t index);
    void listenToStates(const QString& programFolder);
    void stateArrived(const QString& topic, const QByteArray& payload);
    void publish(bool listChanged);

    std::vector<ControlRoomCircuit> circuits_;
    EventLog& events_;
    std::vector<std::unique_ptr<ArchiveFollower>> followers_;
    LiveStatusBoard board_;
    LiveStatus status_;
    ManifestLookup manifests_;
    std::unique_ptr<WebService> web_;
    std::unique_ptr<MqttClient> mqtt_;
};

} // namespace kestrova
