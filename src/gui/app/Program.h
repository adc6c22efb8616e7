#pragma once

#include "base/common/ProgramIdentity.h"
#include "base/desktop/EventLog.h"
#include "base/files/FolderLock.h"
#include "base/platform/Platform.h"
#include "base/player/PlayerListCalls.h"
#include "base/transmit/HeldSounds.h"
#include "gui/app/ProgramOptions.h"
#include "gui/app/StartupMessages.h"
#include "gui/services/Services.h"
#include "gui/ui/Forms.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QObject;

namespace kestrova {

class Archive;
class AutoCq;
class ListInteractions;
class ManifestWriter;
class InfoForm;
class MainForm;
class Player;
class Recorder;
class Settings;
class SettingsActions;
class SettingsForm;
class SoundForm;
class StatusBar;
class TimedActions;
class Transmitter;

// The running program: owns the four forms, the platform services and one
// object per subsystem; hands the subsystems to each other as Services and the
// forms to the bindings that show them. main() makes
// one; each test makes its own.
class Program final : public Services, public Forms {
public:
    Program(const Platform& platform, ProgramOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main routine without its event loop: takeFolder, start and
    // showStartMessages in turn.
    void main();
    // The program folder taken for this program alone; false, with the program
    // ended and nothing of the folder touched, when another program uses it.
    // Nothing with an effect beyond the program may start before it.
    bool takeFolder();
    // Identity texts, then startProgram with its messages held back.
    void start();
    // The messages of the start, which wait for their OK while the recorder runs.
    void showStartMessages();
    // True when another program already uses the program folder; this one then
    // ended without touching it.
    bool folderInUse() const { return folderInUse_; }
    void startProgram();
    void completeStart();
    // Every way out: playback stops, a running recording is saved and filed, then
    // the program ends.
    void shutDown();
    // Last step of the shutdown: closes the forms and leaves the event loop.
    void endProgram();
    bool hasEnded() const override { return ended_; }
    // Called once the program has ended; main() quits the event loop here.
    std::function<void()> onEnded;
    // True once the desktop has asked the program to end (a signal not yet handled):
    // from then on the start switches nothing on.
    std::function<bool()> endRequested;
    // Shown in the status bar once the start is done; empty for none.
    QString startNotice;

    const Platform& platform() const override { return platform_; }
    HeldSounds& heldSounds() override { return heldSounds_; }
    const ProgramIdentity& identity() const override { return identity_; }
    const ProgramOptions& options() const { return options_; }
    const QString& programFolder() const override { return programFolder_; }
    const SettingsValues& settingsValues() override;

    Settings& settings() { return *settings_; }
    SettingsActions& settingsActions() { return *settingsActions_; }
    StatusBar& statusBar() override { return *statusBar_; }
    Recorder& recorder() override { return *recorder_; }
    Archive& archive() override { return *archive_; }
    ListInteractions& listInteractions() override { return *listInteractions_; }
    Player& player() override { return *player_; }
    Transmitter& transmitter() override { return *transmitter_; }
    AutoCq& autoCq() { return *autoCq_; }
    TimedActions& timedActions() { return *timedActions_; }
    ManifestWriter& manifests() { return *manifests_; }

    // Owned by startProgram's forms; created in its steps.
    void createInfoForm();
    void createSettingsForm();
    void createSoundForm() override;
    void createMainForm();

private:
    bool mayGoOn() const;
    // What the player asks of the list above it.
    PlayerListCalls listCalls();
    void connectSubsystems();
    void connectControls();
    void wireManifests();
    // On this thread: the manifests' trouble goes to the event log and the status bar.
    void showManifestReport(EventPriority priority, const QString& line);
    template <typename Form> Form* keepOffScreenIfHeadless(Form* form) const;

    // Both declared before platform_, which hands them out as the dialogs and the sounds.
    StartupMessages startupMessages_;
    HeldSounds heldSounds_;
    Platform platform_;
    ProgramIdentity identity_;
    ProgramOptions options_;
    QString programFolder_;
    bool ended_ = false;
    bool folderInUse_ = false;
    FolderLock folderLock_;

    std::unique_ptr<InfoForm> infoForm_;
    std::unique_ptr<SettingsForm> settingsForm_;
    std::unique_ptr<SoundForm> soundForm_;
    std::unique_ptr<MainForm> mainForm_;

    // Receives the manifests' reports on this thread; ends after the manifests'
    // thread, with what it has not yet delivered.
    std::unique_ptr<QObject> manifestReports_;
    // Outlives the subsystems, whose last saves it enters.
    std::unique_ptr<ManifestWriter> manifests_;
    std::unique_ptr<Settings> settings_;
    std::unique_ptr<SettingsActions> settingsActions_;
    std::unique_ptr<StatusBar> statusBar_;
    // Before the recorder, which files through it.
    std::unique_ptr<Archive> archive_;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<ListInteractions> listInteractions_;
    // Before the player, whose playback keys and un-keys through it.
    std::unique_ptr<Transmitter> transmitter_;
    std::unique_ptr<Player> player_;
    std::unique_ptr<AutoCq> autoCq_;
    std::unique_ptr<TimedActions> timedActions_;
};

} // namespace kestrova
