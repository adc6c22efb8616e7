#include "base/program/Circuit.h"

#include "base/common/NumericValue.h"
#include "base/desktop/Clock.h"
#include "base/desktop/Dialogs.h"
#include "base/integrity/ArchiveEntries.h"
#include "base/recorder/InterruptedCapture.h"

#include <QDir>
#include <algorithm>

namespace kestrova {

Circuit::Circuit(const Platform& platform, const QString& programFolder)
    : heldSounds_(platform.sounds), platform_(platform.withSounds(heldSounds_)),
      programFolder_(QDir::cleanPath(programFolder)), folderLock_(programFolder_),
      settings_(platform_, programFolder_), archive_(platform_, settings_),
      recorder_(platform_, settings_.values, programFolder_, archive_, folderLock_),
      transmitter_(platform_, settings_), player_(platform_, transmitter_, programFolder_),
      autoCq_(settings_.values, transmitter_, player_.playback(), player_.loader(), player_.speedLabels()),
      timedActions_(platform_, programFolder_, archive_, transmitter_, heldSounds_) {
    connectParts();
    wireManifests();
}

Circuit::~Circuit() = default;

void Circuit::connectParts() {
    connect(&archive_, &Archive::playerFileChosen, this,
            [this](const QString& path) { player_.file().setCurrent(path); });
    connect(&autoCq_, &AutoCq::playerFileChosen, this,
            [this](const QString& path) { player_.file().setCurrent(path); });
    // Before whoever shows the lines: the parts run on the values as read.
    connect(&settings_, &SettingsStore::linesTaken, this, [this] { applySettings(); });
}

void Circuit::wireManifests() {
    // Queued to this thread: the manifests' thread touches nothing of the circuit.
    connect(
        &manifests_, &ManifestWriter::reported, this,
        [this](EventPriority priority, const QString& line) {
            platform_.events.record(priority, line);
            emit manifestReported(line);
        },
        Qt::QueuedConnection);
    enterArchiveInManifests(archive_, manifests_, settings_.values, platform_.clock);
}

void Circuit::applySettings() {
    const SettingsValues& values = settings_.values;
    LevelMeterControl& meter = recorder_.meter();
    // The threshold slider holds whole percent.
    meter.setThreshold(static_cast<int>(std::clamp(roundToWhole(values.startLevel), 0LL, 100LL)));
    meter.setMeterInterval(values.meterInterval);
    autoCq_.setCqPause(values.cqPause);
    transmitter_.applyOutputVolume();
}

bool Circuit::takeFolder() {
    if (folderLock_.tryLock() != FolderLock::Result::HeldByOther) {
        return true;
    }
    // Nothing of the folder is touched: the other program's working capture and
    // settings are its own.
    platform_.dialogs.message(QStringLiteral("Kestrova läuft bereits mit diesem Programmordner.\r[") +
                                  QDir::toNativeSeparators(programFolder_) + QLatin1Char(']'),
                              QString(), MessageButtons::Ok, MessageIcon::Stop);
    return false;
}

void Circuit::prepareStart() {
    timedActions_.clearSchedule();
    transmitter_.cqFile.clear();
    timedActions_.loadTimedAction();
    archive_.createTables();
    interrupted_ = InterruptedCapture::setAside(programFolder_);
}

QString Circuit::fileWhatACrashLeft() {
    // On the manifests' thread.
    manifests_.enterMissing(settings_.values.docFolder, platform_.clock.now().date());
    return InterruptedCapture::file(
        programFolder_, settings_.values,
        [this](const QString& path, const QString& name, RecordingPiece piece) {
            archive_.keepRecording(path, name, piece);
        },
        std::exchange(interrupted_, {}));
}

void Circuit::stop() {
    player_.stop();
    recorder_.stopRecorder();
}

void Circuit::stopTimers() {
    recorder_.stopTimers();
    player_.stopTimers();
    autoCq_.stopTimers();
    timedActions_.stopTimers();
}

WebSources Circuit::webSources() {
    return {.recorder = recorder_,
            .list = archive_.recordingList(),
            .settings = settings_.values,
            .events = platform_.events,
            .input = platform_.inputHub};
}

ControlRoomSources Circuit::controlRoomSources() {
    return {.recorder = recorder_,
            .transmitter = transmitter_,
            .archive = archive_,
            .manifests = manifests_,
            .settings = settings_.values,
            .events = platform_.events,
            .clock = platform_.clock,
            .disk = platform_.diskSpace,
            .programFolder = programFolder_};
}

} // namespace kestrova
