#include "base/automation/AutoCq.h"

#include "base/common/NumericValue.h"
#include "base/player/Playback.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/SpeedLabels.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/Transmitter.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace kestrova {

namespace {
// The volume slider's range; it runs upside down.
constexpr int kVolumeSliderMaximum = 65535;
} // namespace

AutoCq::AutoCq(const SettingsValues& settings, Transmitter& transmitter, Playback& playback,
               SoundFileLoader& loader, SpeedLabels& speeds)
    : settings_(settings), transmitter_(transmitter), playback_(playback), loader_(loader), speeds_(speeds) {
    connectTimers();
}

void AutoCq::connectTimers() {
    connect(&tmrCQ, &QTimer::timeout, this, [this] { tmrCQ_Timer(); });
    connect(&tmrCQ_PAUSE, &QTimer::timeout, this, [this] { tmrCQ_PAUSE_Timer(); });
    connect(&tmrRSP, &QTimer::timeout, this, [this] { tmrRSP_Timer(); });
}

void AutoCq::stopTimers() {
    for (QTimer* timer : {&tmrCQ, &tmrCQ_PAUSE, &tmrRSP}) {
        timer->stop();
    }
}

bool AutoCq::setCqPause(long long milliseconds) {
    if (!isTimerInterval(milliseconds)) {
        return false;
    }
    tmrCQ_PAUSE.setInterval(static_cast<int>(milliseconds));
    return true;
}

int AutoCq::volumePosition() const {
    if (volumePosition_) {
        return *volumePosition_;
    }
    return std::clamp(kVolumeSliderMaximum - settings_.outputLevel, 0, kVolumeSliderMaximum);
}

void AutoCq::showCq(bool pressed) {
    cqPressed_ = pressed;
    emit cqChanged(pressed);
}

bool AutoCq::playing() const {
    return playback_.state().playing;
}

void AutoCq::toggleCycle() {
    // Nothing starts or stops beside a held transmission.
    if (transmitter_.isHeld()) {
        return;
    }
    if (transmitter_.cqFile.isEmpty()) {
        emit soundFileWanted();
        transmitter_.cqFile = loader_.file().current();
        return;
    }
    if (!cqPressed_) {
        startCq();
    } else {
        stopCq();
    }
}

void AutoCq::chooseOtherFile() {
    if (transmitter_.isHeld()) {
        return;
    }
    // A running cycle goes on with whatever the sound window loads.
    transmitter_.cqFile.clear();
    toggleCycle();
}

int AutoCq::airTimeInterval() const {
    const double ms = numericValue(loader_.file().playSecondsText()) * 1000 + 1000;
    // A header can claim a length no timer holds; the longest interval then still ends the air time.
    return static_cast<int>(std::clamp<long long>(roundToWhole(ms), 1, INT_MAX));
}

void AutoCq::startCq() {
    const QString file = transmitter_.cqFile;
    if (refusedBeforeLoading(file)) {
        return;
    }
    emit playerFileChosen(file);
    loader_.loadPlayerFile();
    transmitter_.chooseVolume(volumePosition());
    // The watch runs from here, so that its look comes before the first keying too.
    switchSquelchWatch();
    if (!sendOnce(file)) {
        return;
    }
    showCq(true);
    airInterval_ = airTimeInterval();
    endChecks_ = 0;
    tmrCQ.setInterval(airInterval_);
    tmrCQ.start();
    emit squelchLabelShown(true);
}

// Looked at before the sound window reads the file (its messages wait for an answer)
// and before keying: a file the playback or the window refuses is never keyed for.
bool AutoCq::refusedBeforeLoading(const QString& file) {
    const QString refusal = SoundFileLoader::refusalOf(file);
    if (refusal.isEmpty()) {
        return false;
    }
    reportUnplayable(file, refusal);
    return true;
}

// What can refuse looks first, un-keyed: the header read, which tells the user
// itself, and then the squelch, right before the carrier goes up.
bool AutoCq::sendOnce(const QString& file) {
    speeds_.stopForSpeed(SpeedLabels::kNormalSpeed);
    if (!speeds_.readNormalSpeedFile()) {
        reportUnplayable(file, QString());
        return false;
    }
    if (channelFoundInUse()) {
        return false;
    }
    if (!playKeyed()) {
        reportUnplayable(file, QString());
        return false;
    }
    return true;
}

// The watch's own look, taken before keying: its next tick would come with the carrier up.
bool AutoCq::channelFoundInUse() {
    if (!tmrRSP.isActive() || !transmitter_.hasControlPort() || !channelInUse()) {
        return false;
    }
    emit squelchLabelShown(true);
    stopForChannelInUse();
    return true;
}

// Keyed first, then played, so the first samples go out on the carrier. The toggle
// presses the button as a rule; if the user had pressed it already it releases it,
// so the line is keyed in any case. A player that does not start after all lets go
// of the line at once.
bool AutoCq::playKeyed() {
    transmitter_.togglePushToTalk();
    transmitter_.transmitterOn();
    speeds_.startNormalSpeed();
    if (playing()) {
        return true;
    }
    transmitter_.releaseTxButton();
    transmitter_.transmitterOff();
    return false;
}

// Un-keyed, in the status bar: a message box would stop everything while it is open.
void AutoCq::reportUnplayable(const QString& path, const QString& reason) {
    if (cqPressed_) {
        stopCq();
    }
    QString text = QStringLiteral("Auto-CQ beendet: ") + QFileInfo(path).fileName() +
                   QStringLiteral(" kann nicht gesendet werden.");
    if (!reason.isEmpty()) {
        text += QLatin1Char(' ') + reason;
    }
    emit notice(text);
}

void AutoCq::stopCq() {
    emit squelchLabelShown(false);
    showCq(false);
    playback_.stop();
    tmrCQ.stop();
    tmrCQ_PAUSE.stop();
    transmitter_.transmitterOff();
    switchSquelchWatch();
}

void AutoCq::haltForSettings() {
    const bool running = cqPressed_ || tmrCQ.isActive() || tmrCQ_PAUSE.isActive();
    tmrRSP.stop();
    tmrCQ_PAUSE.stop();
    tmrCQ.stop();
    if (running) {
        // The file may play on, but with the cycle gone nothing would ever let go of the line.
        transmitter_.releaseTxButton();
        transmitter_.transmitterOff();
    }
    // The reading sets the parrot's controls up again, the button released, and
    // moves the volume slider to the settings line without a word.
    showCq(false);
    volumePosition_.reset();
}

void AutoCq::switchSquelchWatch() {
    // The box as it is now, saved or not: the watch does nothing without an open port anyway.
    if (txControlBox_) {
        tmrRSP.start();
    } else {
        tmrRSP.stop();
    }
}

void AutoCq::tmrCQ_Timer() {
    // The card plays behind the player by its output latency: the player's end of
    // the file, not this timer, lets go of the line, unless the end is overdue.
    if (playing() && endChecks_ < kEndAllowanceMs / kEndCheckMs) {
        ++endChecks_;
        tmrCQ.setInterval(kEndCheckMs);
        return;
    }
    tmrCQ.stop();
    tmrCQ.setInterval(airInterval_);
    endChecks_ = 0;
    if (playing()) {
        // Overdue: what the card still holds must not go out after the line drops.
        playback_.stop();
    }
    // A file that never started playing has no end: the gap and the pause are off the air.
    transmitter_.releaseTxButton();
    transmitter_.transmitterOff();
    tmrCQ_PAUSE.start();
}

void AutoCq::tmrCQ_PAUSE_Timer() {
    if (transmitter_.isHeld()) {
        return; // the pause timer runs on; the next transmission waits for the held one
    }
    tmrCQ_PAUSE.stop();
    const QString file = loader_.file().original();
    if (refusedBeforeLoading(file) || !sendOnce(file)) {
        return;
    }
    endChecks_ = 0;
    tmrCQ.setInterval(airInterval_);
    tmrCQ.start();
}

void AutoCq::tmrRSP_Timer() {
    squelchWatch();
}

void AutoCq::squelchWatch() {
    if (!transmitter_.hasControlPort()) {
        return;
    }
    if (channelInUse()) {
        stopForChannelInUse();
    } else {
        emit squelchTextChanged(QStringLiteral("Papagei"));
    }
}

bool AutoCq::channelInUse() {
    // A reading that fails (empty) counts as a busy channel: what cannot be watched is not sent.
    return transmitter_.readSquelchLine() != settings_.squelchActiveChar;
}

void AutoCq::stopForChannelInUse() {
    emit squelchTextChanged(QStringLiteral("TX_Mic"));
    abortCq();
}

void AutoCq::abortCq() {
    emit cqAborted();
    playback_.stop();
    tmrCQ.stop();
    tmrCQ_PAUSE.stop();
    showCq(false);
    transmitter_.transmitterOff();
}

} // namespace kestrova
