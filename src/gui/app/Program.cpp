#include "gui/app/Program.h"

#include "gui/app/MainMenu.h"
#include "gui/app/Settings.h"
#include "gui/app/SettingsActions.h"
#include "gui/archive/ArchiveControls.h"
#include "gui/archive/ListInteractions.h"
#include "gui/automation/AutoCqControls.h"
#include "gui/player/Player.h"
#include "gui/recorder/RecorderControls.h"
#include "gui/transmit/TransmitterControls.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/StatusBar.h"

#include <QDir>
#include <QObject>

namespace kestrova {

namespace {
// The program's own dialogs, which hold the start's messages, in front of the given ones.
Platform withOwnDialogs(const Platform& p, Dialogs& dialogs) {
    return {p.clock,  dialogs,       p.audioInput, p.inputHub, p.capture,       p.player,
            p.sounds, p.audioOutput, p.serial,     p.events,   p.serviceManager};
}
} // namespace

Program::Program(const Platform& platform, ProgramOptions options)
    : startupMessages_(platform.dialogs), options_(std::move(options)),
      circuit_(withOwnDialogs(platform, startupMessages_), options_.programFolder),
      settings_(std::make_unique<Settings>(*this)),
      settingsActions_(std::make_unique<SettingsActions>(*this)),
      statusBar_(std::make_unique<StatusBar>(*this, *this)),
      listInteractions_(std::make_unique<ListInteractions>(*this, *this)),
      player_(std::make_unique<Player>(*this, *this, circuit_.player(), listCalls())) {
    connectSubsystems();
}

Program::~Program() = default;

PlayerListCalls Program::listCalls() {
    return {
        .entryPath = [this](int row) { return archive().entryPath(row); },
        .pressEntry = [this] { listInteractions_->lb_Sounds_MouseDown(mousebutton::Left, 0, 0, 0); },
        .releaseEntry = [this] { listInteractions_->lb_Sounds_MouseUp(mousebutton::Left, 0, 0, 0); },
    };
}

// What the circuit tells those above it, the windows follow here.
void Program::connectSubsystems() {
    Recorder* recorder = &circuit_.recorder();
    QObject::connect(recorder, &Recorder::switchingOff, &followers_,
                     [this] { listInteractions_->lb_Sounds_MouseDown(mousebutton::Left, 0, 0, 0); });
    QObject::connect(recorder, &Recorder::switchedOff, &followers_, [this] {
        player_->playback().setSlider(0);
        player_->playAfterStop();
    });
    QObject::connect(&archive(), &Archive::startDue, &followers_,
                     [this] { settingsActions_->cmd_SK_Click(); });
    QObject::connect(&autoCq(), &AutoCq::soundFileWanted, &followers_,
                     [this] { player_->chooseFileToPlay(); });
    // The manifests' trouble, in the event log already, also shows in the status bar.
    QObject::connect(&circuit_, &Circuit::manifestReported, &followers_,
                     [this](const QString& line) { statusBar_->showNotice(line); });
}

// Each subsystem connects the controls and timers it handles; the order is the
// order in which handlers of one signal run.
void Program::connectControls() {
    settingsActions_->connectControls();
    connectRecorderControls(recorder(), *this, *statusBar_);
    player_->connectControls();
    listInteractions_->connectControls();
    connectArchiveControls(archive(), *this, *statusBar_);
    connectTransmitterControls(transmitter(), *this, *statusBar_);
    connectAutoCqControls(autoCq(), *this, *statusBar_);
    // The clock ticks from the moment the controls are live.
    timedActions().startTicking();
    // The menu is a child of the main window, which ends its life.
    auto* menu = new MainMenu(*this, frm_DoKu);
    menu->setObjectName(QStringLiteral("mainMenu"));
    menu->connectControls();
}

const SettingsValues& Program::settingsValues() {
    return circuit_.settings().values;
}

void Program::main() {
    if (takeFolder()) {
        start();
        showStartMessages();
    }
}

bool Program::takeFolder() {
    if (circuit_.takeFolder()) {
        return true;
    }
    folderInUse_ = true;
    ended_ = true;
    if (onEnded) {
        onEnded();
    }
    return false;
}

void Program::start() {
    identity_ = ProgramIdentity{};
    startupMessages_.hold();
    startProgram();
    if (!startNotice.isEmpty()) {
        statusBar_->showNotice(startNotice);
    }
}

void Program::showStartMessages() {
    // The recorder is on by now when it starts by itself; the messages wait for
    // their OK while it records.
    startupMessages_.release([this] { return !mayGoOn(); });
}

bool Program::mayGoOn() const {
    return !ended_ && !(endRequested && endRequested());
}

void Program::startProgram() {
    createInfoForm();
    createSettingsForm();
    circuit_.prepareStart();
    player_->loadSoundWindow();
    createMainForm();
    connectControls();
    settingsActions_->fillSettingsLists();
    settings_->readSettings();
    setHeightTwips(frm_DoKu, frm_DoKu->tallHeight);
    settingsActions_->listInputDevices();
    frm_Info->setWindowTitle(identity_.exeName + QLatin1Char(' ') + identity_.versionText +
                             QStringLiteral(" wird initialisiert, warten!"));
    if (mayGoOn()) {
        statusBar_->showLateFiling(circuit_.fileWhatACrashLeft());
    }
}

void Program::completeStart() {
    // Once the end has come, or is on its way, nothing is switched on or shown.
    if (!mayGoOn()) {
        return;
    }
    frm_DoKu->setWindowTitle(identity_.programTitle + QLatin1Char(' ') + identity_.versionText);
    const SettingsValues& values = circuit_.values();
    if (values.autoStart == 1 && !recorder().isSwitchedOn()) {
        recorder().switchOn();
    }
    if (values.showSettingsAtStart == 1) {
        frm_Einstellungen->show();
    }
    frm_DoKu->show();
}

void Program::shutDown() {
    if (ended_) {
        return;
    }
    circuit_.stop();
    endProgram();
}

void Program::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // Nothing may tick once the program has ended.
    circuit_.stopTimers();
    player_->stopTimers();
    for (QWidget* form : {static_cast<QWidget*>(frm_Oszi), static_cast<QWidget*>(frm_Einstellungen),
                          static_cast<QWidget*>(frm_Info)}) {
        if (form != nullptr) {
            form->hide();
        }
    }
    if (frm_DoKu != nullptr) {
        frm_DoKu->hide();
    }
    if (onEnded) {
        onEnded();
    }
}

void Program::createInfoForm() {
    infoForm_ = std::make_unique<InfoForm>();
    frm_Info = infoForm_.get();
}

void Program::createSettingsForm() {
    settingsForm_ = std::make_unique<SettingsForm>();
    frm_Einstellungen = settingsForm_.get();
}

void Program::createSoundForm() {
    soundForm_ = std::make_unique<SoundForm>();
    frm_Oszi = soundForm_.get();
}

void Program::createMainForm() {
    mainForm_ = std::make_unique<MainForm>();
    frm_DoKu = mainForm_.get();
}

} // namespace kestrova
