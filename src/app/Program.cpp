#include "app/Program.h"

#include "app/EventWiring.h"
#include "app/Settings.h"
#include "app/SettingsActions.h"
#include "app/StatusBar.h"
#include "archive/Archive.h"
#include "player/Player.h"
#include "recorder/InterruptedCapture.h"
#include "recorder/Recorder.h"
#include "transmit/TimedActions.h"
#include "transmit/Transmitter.h"
#include "ui/FormGeometry.h"
#include "ui/InfoForm.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QDir>
#include <QTimer>

namespace kestrova {

namespace {
Platform withSounds(const Platform& p, SoundPlayer& sounds) {
    return {p.clock,  p.dialogs, p.audioInput,  p.inputHub, p.capture,
            p.player, sounds,    p.audioOutput, p.serial};
}
} // namespace

Program::Program(const Platform& platform, ProgramOptions options)
    : heldSounds_(platform.sounds), platform_(withSounds(platform, heldSounds_)),
      options_(std::move(options)), programFolder_(QDir::cleanPath(options_.programFolder)),
      settings_(std::make_unique<Settings>(*this)),
      settingsActions_(std::make_unique<SettingsActions>(*this)),
      statusBar_(std::make_unique<StatusBar>(*this)), recorder_(std::make_unique<Recorder>(*this)),
      archive_(std::make_unique<Archive>(*this)), player_(std::make_unique<Player>(*this)),
      transmitter_(std::make_unique<Transmitter>(*this)),
      timedActions_(std::make_unique<TimedActions>(*this)) {}

Program::~Program() = default;

void Program::main() {
    identity_ = ProgramIdentity{};
    startProgram();
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
    wireEvents(*this);
    settingsActions_->fillSettingsLists();
    // A capture cut short by a crash must not be overwritten by the next one.
    const QStringList interrupted = InterruptedCapture::setAside(workingFolder());
    settings_->readSettings();
    setHeightTwips(frm_DoKu, settingsActions_->tallHeight);
    settingsActions_->listInputDevices();
    frm_Info->setWindowTitle(identity_.exeName + QLatin1Char(' ') + identity_.versionText +
                             QStringLiteral(" wird initialisiert, warten!"));
    InterruptedCapture::file(*this, interrupted);
}

void Program::completeStart() {
    frm_DoKu->setWindowTitle(identity_.programTitle + QLatin1Char(' ') + identity_.versionText);
    const SettingsValues& values = settings_->values;
    if (values.autoStart == 1 && !recorder_->isSwitchedOn()) {
        frm_DoKu->chk_Start->setChecked(true);
        recorder_->chk_Start_Click();
    }
    if (values.showSettingsAtStart == 1) {
        frm_Einstellungen->show();
    }
    frm_DoKu->show();
}

void Program::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // Nothing may tick once the program has ended.
    for (QWidget* form : {static_cast<QWidget*>(frm_DoKu), static_cast<QWidget*>(frm_Oszi)}) {
        if (form != nullptr) {
            for (QTimer* timer : form->findChildren<QTimer*>()) {
                timer->stop();
            }
        }
    }
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
