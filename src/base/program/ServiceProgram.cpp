#include "base/program/ServiceProgram.h"

#include "base/archive/Archive.h"
#include "base/archive/RecordingFolders.h"
#include "base/automation/TimedActions.h"
#include "base/common/NumericValue.h"
#include "base/desktop/Clock.h"
#include "base/desktop/Dialogs.h"
#include "base/files/FolderLock.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/integrity/ManifestWriter.h"
#include "base/program/InputDevices.h"
#include "base/recorder/InterruptedCapture.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/Transmitter.h"

#include <QDir>
#include <algorithm>

namespace kestrova {

namespace {
// Simple sound playback through the held sounds, which a timed transmission keeps to itself.
Platform withHeldSounds(const Platform& p, SoundPlayer& sounds) {
    return {p.clock,  p.dialogs, p.audioInput,  p.inputHub, p.capture,
            p.player, sounds,    p.audioOutput, p.serial,   p.events};
}
} // namespace

ServiceProgram::ServiceProgram(const Platform& platform, const QString& programFolder)
    : heldSounds_(platform.sounds), platform_(withHeldSounds(platform, heldSounds_)),
      programFolder_(QDir::cleanPath(programFolder)), folderLock_(programFolder_),
      manifests_(std::make_unique<ManifestWriter>()),
      settings_(std::make_unique<SettingsStore>(platform_, programFolder_)),
      archive_(std::make_unique<Archive>(platform_, *settings_)),
      recorder_(
          std::make_unique<Recorder>(platform_, settings_->values, programFolder_, *archive_, folderLock_)),
      transmitter_(std::make_unique<Transmitter>(platform_, *settings_)),
      timedActions_(
          std::make_unique<TimedActions>(platform_, programFolder_, *archive_, *transmitter_, heldSounds_)) {
    connectSubsystems();
    wireManifests();
}

ServiceProgram::~ServiceProgram() = default;

// Of what the subsystems tell those above them, a program without windows follows
// the start; it has no player or list to show anything.
void ServiceProgram::connectSubsystems() {
    // The list pass completes the start where the windows' "Speichern" would.
    connect(archive_.get(), &Archive::startDue, this, &ServiceProgram::completeStart);
    // What the windows show in the status bar, a service says in its log.
    QObject::connect(&recorder_->capture(), &CaptureControl::captureTrouble, this,
                     [this](const QString& text) {
                         if (!text.isEmpty()) {
                             platform_.events.record(EventPriority::Warning, text);
                         }
                     });
}

void ServiceProgram::wireManifests() {
    // Queued to this thread, where the event log is written.
    connect(
        manifests_.get(), &ManifestWriter::reported, this,
        [this](EventPriority priority, const QString& line) { platform_.events.record(priority, line); },
        Qt::QueuedConnection);
    enterArchiveInManifests(*archive_, *manifests_, settings_->values, platform_.clock);
}

WebSources ServiceProgram::webSources() {
    return {.recorder = *recorder_,
            .list = archive_->recordingList(),
            .settings = settings_->values,
            .events = platform_.events};
}

ControlRoomSources ServiceProgram::controlRoomSources() {
    return {.recorder = *recorder_,
            .transmitter = *transmitter_,
            .archive = *archive_,
            .manifests = *manifests_,
            .settings = settings_->values,
            .events = platform_.events,
            .clock = platform_.clock,
            .programFolder = programFolder_};
}

bool ServiceProgram::mayGoOn() const {
    return !ended_ && !(endRequested && endRequested());
}

bool ServiceProgram::takeFolder() {
    if (folderLock_.tryLock() == FolderLock::Result::HeldByOther) {
        // Nothing of the folder is touched: the other program's working capture
        // and settings are its own.
        ended_ = true;
        platform_.dialogs.message(QStringLiteral("Kestrova läuft bereits mit diesem Programmordner.\r[") +
                                      QDir::toNativeSeparators(programFolder_) + QLatin1Char(']'),
                                  QString(), MessageButtons::Ok, MessageIcon::Stop);
        return false;
    }
    return true;
}

bool ServiceProgram::start() {
    startTimedActions();
    transmitter_->cqFile.clear();
    archive_->createTables();
    recorder_->resetState();
    ensureRecordingsFolder(programFolder_);
    // A capture cut short by a crash must not be overwritten by the next one.
    const QStringList interrupted = InterruptedCapture::setAside(programFolder_);
    if (!takeChosenInputDevice()) {
        return false;
    }
    readSettings();
    // Recordings whose entry failed last time are entered now, on the manifests' thread.
    manifests_->enterMissing(settings_->values.docFolder, platform_.clock.now().date());
    chooseFirstInputDevice();
    if (mayGoOn()) {
        const QString filed = InterruptedCapture::file(
            programFolder_, settings_->values,
            [this](const QString& path, const QString& name, RecordingPiece piece) {
                archive_->keepRecording(path, name, piece);
            },
            interrupted);
        if (!filed.isEmpty()) {
            platform_.events.record(EventPriority::Notice, filed);
        }
    }
    return true;
}

bool ServiceProgram::takeChosenInputDevice() {
    const QString chosen = chosenInputDevice(programFolder_);
    if (chosen.isEmpty()) {
        return true;
    }
    const QStringList usable = usableInputDevices(platform_.audioInput);
    inputDevice_ = inputDevicePosition(usable, chosen);
    if (inputDevice_ >= 0) {
        return true;
    }
    // Recording another circuit's input under this circuit's name would be worse than
    // none: the service ends, and systemd starts it again until the device is there.
    platform_.events.record(EventPriority::Error,
                            QStringLiteral("Das Eingabegerät „%1“ ist nicht vorhanden; es gibt: %2. Kestrova "
                                           "endet.")
                                .arg(chosen, usable.isEmpty()
                                                 ? QStringLiteral("keines")
                                                 : QStringLiteral("„") + usable.join(QStringLiteral("“, „")) +
                                                       QStringLiteral("“")));
    ended_ = true;
    return false;
}

void ServiceProgram::startTimedActions() {
    timedActions_->clearSchedule();
    timedActions_->loadTimedAction();
    timedActions_->startTicking();
}

void ServiceProgram::readSettings() {
    settings_->readSettings();
    // Without a desktop nobody could switch the recorder on.
    settings_->change([](SettingsValues& values) { values.autoStart = 1; });
    applySettings();
    // A message of the reading may have come with the end.
    if (ended_) {
        return;
    }
    transmitter_->openControlPort();
    archive_->refreshRecordingList();
    // Opened again only if it opened: a port that failed is reported once.
    if (transmitter_->hasControlPort()) {
        transmitter_->openControlPort();
    }
}

void ServiceProgram::applySettings() {
    const SettingsValues& values = settings_->values;
    LevelMeterControl& meter = recorder_->meter();
    // The windows switch the recorder on before their device box is filled: the
    // system's default input, which also comes when a sound server starts late;
    // a device chosen in the service's settings is taken from the start.
    meter.setInputDevice(inputDevice_);
    // As the threshold slider of the main window would hold it.
    meter.setThreshold(static_cast<int>(std::clamp(roundToWhole(values.startLevel), 0LL, 100LL)));
    meter.setMeterInterval(values.meterInterval);
    // A choice of the list, so its number is the line as written.
    recorder_->capture().setRateText(QString::number(values.meterSampleRate));
    transmitter_->setOutputDevice(-1);
    transmitter_->applyOutputVolume();
}

// As the windows fill their device box once the recorder is on: the first usable
// device from the next switch-on, or a message that there is none.
void ServiceProgram::chooseFirstInputDevice() {
    if (usableInputDevices(platform_.audioInput).isEmpty()) {
        platform_.dialogs.message(noInputDevicesMessage(), QStringLiteral(" INFO"), MessageButtons::Ok,
                                  MessageIcon::None);
        return;
    }
    recorder_->meter().setInputDevice(std::max(inputDevice_, 0));
    transmitter_->setOutputDevice(0);
}

void ServiceProgram::completeStart() {
    // Once the end has come, or is on its way, nothing is switched on.
    if (!mayGoOn()) {
        return;
    }
    if (settings_->values.autoStart == 1 && !recorder_->isSwitchedOn()) {
        recorder_->switchOn();
    }
}

void ServiceProgram::shutDown() {
    if (!ended_) {
        recorder_->stopRecorder();
        endProgram();
    }
}

void ServiceProgram::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // Nothing may tick once the program has ended.
    recorder_->stopTimers();
    timedActions_->stopTimers();
    if (onEnded) {
        onEnded();
    }
}

} // namespace kestrova
