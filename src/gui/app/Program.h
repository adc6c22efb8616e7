#pragma once

#include "base/common/ProgramIdentity.h"
#include "base/platform/Platform.h"
#include "base/player/PlayerListCalls.h"
#include "base/program/Circuit.h"
#include "gui/app/ProgramOptions.h"
#include "gui/app/StartupMessages.h"
#include "gui/services/Services.h"
#include "gui/ui/Forms.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kestrova {

class ListInteractions;
class InfoForm;
class MainForm;
class Player;
class Settings;
class SettingsActions;
class SettingsForm;
class SoundForm;
class StatusBar;

// The windowed program: shows one circuit on the four forms. Owns the circuit,
// the forms and what only the windows have (the list's clicks, the sound window,
// the settings form's handlers, the status bar); hands them to each other as
// Services and the forms to the bindings that show them. main() makes one; each
// test makes its own.
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

    const Platform& platform() const override { return circuit_.platform(); }
    HeldSounds& heldSounds() override { return circuit_.heldSounds(); }
    const ProgramIdentity& identity() const override { return identity_; }
    const ProgramOptions& options() const { return options_; }
    const QString& programFolder() const override { return circuit_.programFolder(); }
    const SettingsValues& settingsValues() override;

    Circuit& circuit() { return circuit_; }
    Settings& settings() { return *settings_; }
    SettingsActions& settingsActions() { return *settingsActions_; }
    StatusBar& statusBar() override { return *statusBar_; }
    Recorder& recorder() override { return circuit_.recorder(); }
    Archive& archive() override { return circuit_.archive(); }
    ListInteractions& listInteractions() override { return *listInteractions_; }
    Player& player() override { return *player_; }
    Transmitter& transmitter() override { return circuit_.transmitter(); }
    AutoCq& autoCq() { return circuit_.autoCq(); }
    TimedActions& timedActions() { return circuit_.timedActions(); }
    ManifestWriter& manifests() { return circuit_.manifests(); }

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

    // Declared before the circuit, whose dialogs they are: they hold the start's
    // messages in front of the platform's dialogs.
    StartupMessages startupMessages_;
    ProgramIdentity identity_;
    ProgramOptions options_;
    bool ended_ = false;
    bool folderInUse_ = false;

    // The forms outlive the circuit, whose parts they show.
    std::unique_ptr<InfoForm> infoForm_;
    std::unique_ptr<SettingsForm> settingsForm_;
    std::unique_ptr<SoundForm> soundForm_;
    std::unique_ptr<MainForm> mainForm_;

    Circuit circuit_;
    std::unique_ptr<Settings> settings_;
    std::unique_ptr<SettingsActions> settingsActions_;
    std::unique_ptr<StatusBar> statusBar_;
    std::unique_ptr<ListInteractions> listInteractions_;
    std::unique_ptr<Player> player_;
    // The context of what the windows follow of the circuit: gone first, so that
    // nothing the circuit says on its way out reaches a window part already gone.
    QObject followers_;
};

} // namespace kestrova
