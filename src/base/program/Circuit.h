#pragma once

#include "base/archive/Archive.h"
#include "base/automation/AutoCq.h"
#include "base/automation/TimedActions.h"
#include "base/desktop/EventLog.h"
#include "base/files/FolderLock.h"
#include "base/integrity/ManifestWriter.h"
#include "base/platform/Platform.h"
#include "base/player/PlayerParts.h"
#include "base/program/ControlRoomLinks.h"
#include "base/program/WebServing.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/HeldSounds.h"
#include "base/transmit/Transmitter.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrova {

// One radio circuit, assembled once for every program that runs one: its program
// folder's lock, its settings, the recorder, the archive, the transmitter, the
// player's parts with Auto-CQ and parrot mode, the timed actions and the manifests,
// wired to each other here. A program shows it (the windows) or hosts it (the
// service); what is process-wide (signals, the web server, the log) lives beside it.
class Circuit : public QObject {
    Q_OBJECT
public:
    // Everything the circuit keeps is kept in `programFolder`.
    Circuit(const Platform& platform, const QString& programFolder);
    ~Circuit() override;
    Circuit(const Circuit&) = delete;
    Circuit& operator=(const Circuit&) = delete;

    // The program folder taken for this circuit alone: false, said to the user and
    // with nothing of the folder touched, when another program holds it. Nothing with
    // an effect beyond the program may start before it.
    bool takeFolder();
    // The start's steps before the settings are read: the hourly schedule, the
    // archive's tables, and a capture a crash cut short set aside, so that the next
    // one does not overwrite it.
    void prepareStart();
    // The start's steps once the settings are read: recordings whose manifest entry
    // failed last time are entered, and what prepareStart set aside is filed. Says
    // what was filed, for the user; empty when nothing was.
    QString fileWhatACrashLeft();
    // Every way out: playback stops, a running recording is saved and filed.
    void stop();
    // Nothing of the circuit ticks once the program has ended.
    void stopTimers();

    // The platform as the circuit's parts see it: simple sound playback goes through
    // the held sounds, which a timed transmission keeps to itself.
    const Platform& platform() const { return platform_; }
    HeldSounds& heldSounds() { return heldSounds_; }
    const QString& programFolder() const { return programFolder_; }
    SettingsStore& settings() { return settings_; }
    const SettingsValues& values() const { return settings_.values; }
    Archive& archive() { return archive_; }
    Recorder& recorder() { return recorder_; }
    Transmitter& transmitter() { return transmitter_; }
    PlayerParts& player() { return player_; }
    AutoCq& autoCq() { return autoCq_; }
    TimedActions& timedActions() { return timedActions_; }
    ManifestWriter& manifests() { return manifests_; }

    // What the web page follows.
    WebSources webSources();
    // What the links to a control room tell of.
    ControlRoomSources controlRoomSources();

signals:
    // The manifests' trouble, on the circuit's thread, once it is in the event log.
    void manifestReported(const QString& line);

private:
    void connectParts();
    void wireManifests();
    // The values just read, handed to the parts that take them at once.
    void applySettings();

    // Declared before platform_, which hands it out as the sounds, so a timed
    // transmission can keep simple playback to itself.
    HeldSounds heldSounds_;
    const Platform platform_;
    const QString programFolder_;
    FolderLock folderLock_;
    // Outlives the parts, whose last saves it enters.
    ManifestWriter manifests_;
    SettingsStore settings_;
    // Before the recorder, which files through it.
    Archive archive_;
    Recorder recorder_;
    // Before the player, whose playback keys and un-keys through it.
    Transmitter transmitter_;
    PlayerParts player_;
    AutoCq autoCq_;
    TimedActions timedActions_;
    // The captures a crash left, set aside at the start and filed once the settings are read.
    QStringList interrupted_;
};

} // namespace kestrova
