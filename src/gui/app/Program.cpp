#include "gui/app/Program.h"

#include "base/archive/Archive.h"
#include "base/automation/AutoCq.h"
#include "base/automation/TimedActions.h"
#include "base/desktop/Clock.h"
#include "base/files/FolderLock.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/integrity/ManifestWriter.h"
#include "base/recorder/InterruptedCapture.h"
#include "base/recorder/Recorder.h"
#include "base/transmit/Transmitter.h"
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
#include <QSlider>

namespace kestrova {

namespace {
// The program's own dialogs (which hold start-up messages) and simple sound playback
// (which a held transmission keeps to itself) in front of the given ones.
Platform withOwnParts(const Platform& p, Dialogs& dialogs, SoundPlayer& sounds) {
    return {p.clock,  dialogs, p.audioInput,  p.inputHub, p.capture,
            p.player, sounds,  p.audioOutput, p.serial,   p.events};
}
} // namespace

Program::Program(const Platform& platform, ProgramOptions options)
    : startupMessages_(platform.dialogs), heldSounds_(platform.sounds),
      platform_(withOwnParts(platform, startupMessages_, heldSounds_)), options_(std::move(options)),
      programFolder_(QDir::cleanPath(options_.programFolder)), folderLock_(programFolder_),
      manifestReports_(std::make_unique<QObject>()), manifests_(std::make_unique<ManifestWriter>()),
      settings_(std::make_unique<Settings>(*this)),
      settingsActions_(std::make_unique<SettingsActions>(*this)),
      statusBar_(std::make_unique<StatusBar>(*this, *this)),
      archive_(std::make_unique<Archive>(platform_, settings_->store())),
      recorder_(
          std::make_unique<Recorder>(platform_, settings_->values, programFolder_, *archive_, folderLock_)),
      listInteractions_(std::make_unique<ListInteractions>(*this, *this)),
      transmitter_(std::make_unique<Transmitter>(platform_, settings_->store())),
      player_(std::make_unique<Player>(*this, *this, listCalls())),
      autoCq_(std::make_unique<AutoCq>(settings_->values, *transmitter_, player_->playback(),
                                       player_->loader(), player_->speedLabels())),
      timedActions_(
          std::make_unique<TimedActions>(platform_, programFolder_, *archive_, *transmitter_, heldSounds_)) {
    connectSubsystems();
    wireManifests();
}

Program::~Program() = default;

PlayerListCalls Program::listCalls() {
    return {
        .entryPath = [this](int row) { return archive_->entryPath(row); },
        .pressEntry = [this] { listInteractions_->lb_Sounds_MouseDown(mousebutton::Left, 0, 0, 0); },
        .releaseEntry = [this] { listInteractions_->lb_Sounds_MouseUp(mousebutton::Left, 0, 0, 0); },
    };
}

// A subsystem calls the fellows below itself directly and takes what it needs of
// them when it is made; what it tells those above it, they follow here.
void Program::connectSubsystems() {
    QObject::connect(recorder_.get(), &Recorder::switchingOff, recorder_.get(),
                     [this] { listInteractions_->lb_Sounds_MouseDown(mousebutton::Left, 0, 0, 0); });
    QObject::connect(recorder_.get(), &Recorder::switchedOff, recorder_.get(), [this] {
        player_->playback().setSlider(0);
        player_->playAfterStop();
    });
    QObject::connect(archive_.get(), &Archive::startDue, archive_.get(),
                     [this] { settingsActions_->cmd_SK_Click(); });
    QObject::connect(archive_.get(), &Archive::playerFileChosen, archive_.get(),
                     [this](const QString& path) { player_->setCurrentFile(path); });
    QObject::connect(autoCq_.get(), &AutoCq::soundFileWanted, autoCq_.get(),
                     [this] { player_->chooseFileToPlay(); });
    QObject::connect(autoCq_.get(), &AutoCq::playerFileChosen, autoCq_.get(),
                     [this](const QString& path) { player_->setCurrentFile(path); });
}

// Each subsystem connects the controls and timers it handles; the order is the
// order in which handlers of one signal run.
void Program::connectControls() {
    settingsActions_->connectControls();
    connectRecorderControls(*recorder_, *this, *statusBar_);
    player_->connectControls();
    listInteractions_->connectControls();
    connectArchiveControls(*archive_, *this, *statusBar_);
    connectTransmitterControls(*transmitter_, *this, *statusBar_);
    connectAutoCqControls(*autoCq_, *this, *statusBar_);
    // The clock ticks from the moment the controls are live.
    timedActions_->startTicking();
    // The menu is a child of the main window, which ends its life.
    auto* menu = new MainMenu(*this, frm_DoKu);
    menu->setObjectName(QStringLiteral("mainMenu"));
    menu->connectControls();
}

const SettingsValues& Program::settingsValues() {
    return settings_->values;
}

void Program::main() {
    if (takeFolder()) {
        start();
        showStartMessages();
    }
}

bool Program::takeFolder() {
    if (folderLock_.tryLock() != FolderLock::Result::HeldByOther) {
        return true;
    }
    // Nothing of the folder is touched: the other program's working capture
    // and settings are its own.
    folderInUse_ = true;
    ended_ = true;
    platform_.dialogs.message(QStringLiteral("Kestrova läuft bereits mit diesem Programmordner.\r[") +
                                  QDir::toNativeSeparators(programFolder_) + QLatin1Char(']'),
                              QString(), MessageButtons::Ok, MessageIcon::Stop);
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

void Program::wireManifests() {
    // Queued to this thread: the manifests' thread touches no widget.
    QObject::connect(
        manifests_.get(), &ManifestWriter::reported, manifestReports_.get(),
        [this](EventPriority priority, const QString& line) { showManifestReport(priority, line); },
        Qt::QueuedConnection);
    enterArchiveInManifests(*archive_, *manifests_, settings_->values, platform_.clock);
}

void Program::showManifestReport(EventPriority priority, const QString& line) {
    platform_.events.record(priority, line);
    statusBar_->showNotice(line);
}

bool Program::mayGoOn() const {
    return !ended_ && !(endRequested && endRequested());
}

void Program::startProgram() {
    createInfoForm();
    createSettingsForm();
    timedActions_->clearSchedule();
    transmitter_->cqFile.clear();
    timedActions_->loadTimedAction();
    player_->loadSoundWindow();
    // The program folder is fixed when the program object is made (see ProgramOptions).
    archive_->createTables();
    createMainForm();
    connectControls();
    settingsActions_->fillSettingsLists();
    // A capture cut short by a crash must not be overwritten by the next one.
    const QStringList interrupted = InterruptedCapture::setAside(programFolder());
    settings_->readSettings();
    // Recordings whose entry failed last time are entered now, on the manifests' thread.
    manifests_->enterMissing(settings_->values.docFolder, platform_.clock.now().date());
    setHeightTwips(frm_DoKu, frm_DoKu->tallHeight);
    settingsActions_->listInputDevices();
    frm_Info->setWindowTitle(identity_.exeName + QLatin1Char(' ') + identity_.versionText +
                             QStringLiteral(" wird initialisiert, warten!"));
    if (mayGoOn()) {
        statusBar_->showLateFiling(InterruptedCapture::file(
            programFolder(), settings_->values,
            [this](const QString& path, const QString& name, RecordingPiece piece) {
                archive_->keepRecording(path, name, piece);
            },
            interrupted));
    }
}

void Program::completeStart() {
    // Once the end has come, or is on its way, nothing is switched on or shown.
    if (!mayGoOn()) {
        return;
    }
    frm_DoKu->setWindowTitle(identity_.programTitle + QLatin1Char(' ') + identity_.versionText);
    const SettingsValues& values = settings_->values;
    if (values.autoStart == 1 && !recorder_->isSwitchedOn()) {
        recorder_->switchOn();
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
    player_->stop();
    recorder_->stopRecorder();
    endProgram();
}

void Program::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // Nothing may tick once the program has ended.
    recorder_->stopTimers();
    player_->stopTimers();
    autoCq_->stopTimers();
    timedActions_->stopTimers();
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
    frm_Info = keepOffScreenIfHeadless(infoForm_.get());
}

void Program::createSettingsForm() {
    settingsForm_ = std::make_unique<SettingsForm>();
    frm_Einstellungen = keepOffScreenIfHeadless(settingsForm_.get());
}

void Program::createSoundForm() {
    soundForm_ = std::make_unique<SoundForm>();
    frm_Oszi = keepOffScreenIfHeadless(soundForm_.get());
}

void Program::createMainForm() {
    mainForm_ = std::make_unique<MainForm>();
    frm_DoKu = keepOffScreenIfHeadless(mainForm_.get());
}

// Without a desktop a form still counts as shown where the program shows it, so
// every step behaves as in the window, but nothing is put on a screen or painted.
template <typename Form> Form* Program::keepOffScreenIfHeadless(Form* form) const {
    if (options_.headless) {
        form->setAttribute(Qt::WA_DontShowOnScreen);
    }
    return form;
}

} // namespace kestrova
