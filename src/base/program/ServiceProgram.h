#pragma once

#include "base/program/Circuit.h"
#include "base/program/ControlRoomLinks.h"
#include "base/program/ServiceNotices.h"
#include "base/program/WebServing.h"

#include <QObject>
#include <QString>
#include <functional>

namespace kestrova {

// The program without forms, as a service runs it: hosts one circuit, takes its
// program folder, reads Kestrova.ini, files what a crash left, records as the
// settings say and runs the timed actions; its messages go to the event log.
class ServiceProgram : public QObject {
    Q_OBJECT
public:
    ServiceProgram(const Platform& platform, const QString& programFolder);
    ~ServiceProgram() override;
    ServiceProgram(const ServiceProgram&) = delete;
    ServiceProgram& operator=(const ServiceProgram&) = delete;

    // The program folder taken for this program alone: false, with nothing of the
    // folder touched, when another program holds it. Nothing with an effect beyond
    // the program may start before it.
    bool takeFolder();
    // The start, once the folder is taken: false when the program ended in it. The
    // recorder is on by the end of it when the settings say so.
    bool start();
    // The start is over, the front ends included: systemd hears that the service is ready.
    void reportReady() { notices_.ready(); }
    // Saves a running recording, then ends (the way SIGTERM ends the service).
    void shutDown();
    void endProgram();
    bool hasEnded() const { return ended_; }
    // True once the end has been asked for (a signal not yet handled): from then
    // on the start switches nothing on.
    std::function<bool()> endRequested;

    Circuit& circuit() { return circuit_; }
    const QString& programFolder() const { return circuit_.programFolder(); }
    SettingsStore& settings() { return circuit_.settings(); }
    Recorder& recorder() { return circuit_.recorder(); }
    Archive& archive() { return circuit_.archive(); }
    Transmitter& transmitter() { return circuit_.transmitter(); }

signals:
    // The program has ended; main() quits the event loop here.
    void ended();

private:
    bool mayGoOn() const;
    void connectSubsystems();
    void readSettings();
    // The values read, handed to those that take them at once (in the windows, the
    // controls that show them do).
    void applySettings();
    void chooseFirstInputDevice();
    // The input device the service's settings choose; false, with the end logged,
    // when it is not there.
    bool takeChosenInputDevice();
    void completeStart();
    const Platform& platform() const { return circuit_.platform(); }

    Circuit circuit_;
    ServiceNotices notices_;
    bool ended_ = false;
    // The position of the chosen input device; -1 for the system's default.
    int inputDevice_ = -1;
};

} // namespace kestrova
