#pragma once

#include "base/common/ProgramIdentity.h"
#include "base/desktop/EventLog.h"
#include "base/files/FolderLock.h"
#include "base/platform/Platform.h"
#include "base/program/ControlRoomLinks.h"
#include "base/program/WebServing.h"
#include "base/transmit/HeldSounds.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace kestrova {

class Archive;
class ManifestWriter;
class Recorder;
class SettingsStore;
class TimedActions;
class Transmitter;

// The program without forms, as a service runs it: takes the program folder,
// reads Kestrova.ini, files what a crash left, records as the settings say,
// keeps the recordings and their manifests, and runs the timed actions. What
// only the windows did (the list's press, the sound window, Auto-CQ) is not here.
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
    // Saves a running recording, then ends (the way SIGTERM ends the service).
    void shutDown();
    void endProgram();
    bool hasEnded() const { return ended_; }
    // Called once the program has ended; main() quits the event loop here.
    std::function<void()> onEnded;
    // True once the end has been asked for (a signal not yet handled): from then
    // on the start switches nothing on.
    std::function<bool()> endRequested;

    const QString& programFolder() const { return programFolder_; }
    SettingsStore& settings() { return *settings_; }
    Recorder& recorder() { return *recorder_; }
    Archive& archive() { return *archive_; }
    Transmitter& transmitter() { return *transmitter_; }
    // What the web page follows; its messages go to the event log.
    WebSources webSources();
    // What the links to a control room tell of.
    ControlRoomSources controlRoomSources();

private:
    bool mayGoOn() const;
    void connectSubsystems();
    void wireManifests();
    void readSettings();
    // The values read, handed to those that take them at once (in the windows, the
    // controls that show them do).
    void applySettings();
    void chooseFirstInputDevice();
    // The input device the service's settings choose; false, with the end logged,
    // when it is not there.
    bool takeChosenInputDevice();
    void completeStart();
    // The hourly transmission and the nightly refresh from here to the end.
    void startTimedActions();

    // Declared before platform_, which hands it out as the sounds.
    HeldSounds heldSounds_;
    Platform platform_;
    ProgramIdentity identity_;
    QString programFolder_;
    bool ended_ = false;
    // The position of the chosen input device; -1 for the system's default.
    int inputDevice_ = -1;
    FolderLock folderLock_;
    // Outlives the subsystems, whose last saves it enters.
    std::unique_ptr<ManifestWriter> manifests_;
    std::unique_ptr<SettingsStore> settings_;
    // Before the recorder, which files through it.
    std::unique_ptr<Archive> archive_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<Transmitter> transmitter_;
    std::unique_ptr<TimedActions> timedActions_;
};

} // namespace kestrova
