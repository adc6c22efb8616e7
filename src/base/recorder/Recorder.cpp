#include "base/recorder/Recorder.h"

#include "base/audio/SoundPlayer.h"
#include "base/desktop/Clock.h"
#include "base/desktop/EventLog.h"
#include "base/settings/SettingsValues.h"

#include <QTimer>
#include <utility>

namespace kestrova {

namespace {
// Switching on a running timer leaves it running: its next tick is not postponed.
template <typename Timer> void enable(Timer& timer) {
    if (!timer.isActive()) {
        timer.start();
    }
}
} // namespace

// Reports the state once a handler is done, whichever way it returns.
class Recorder::StateReport {
public:
    explicit StateReport(Recorder& recorder) : recorder_(recorder) {}
    ~StateReport() { recorder_.announceState(); }
    StateReport(const StateReport&) = delete;
    StateReport& operator=(const StateReport&) = delete;

private:
    Recorder& recorder_;
};

void Recorder::announceState() {
    Shown now{.switchedOn = switchedOn_,
              .recording = isRecordingHeard(),
              .paused = capturePaused,
              .name = capture_.recordingName};
    if (now == shown_) {
        return;
    }
    const Shown before = std::exchange(shown_, std::move(now));
    if (before.switchedOn != shown_.switchedOn) {
        emit switchedOnChanged(shown_.switchedOn);
    }
    if (before.recording != shown_.recording) {
        emit recordingChanged(shown_.recording);
    }
    if (before.paused != shown_.paused) {
        emit pausedChanged(shown_.paused);
    }
    emit stateChanged();
}

Recorder::Recorder(const Platform& platform, const SettingsValues& settings, const QString& programFolder,
                   Archive& archive, FolderLock& folderLock)
    : platform_(platform), settings_(settings), meter_(platform, settings, *this),
      capture_(platform, settings, programFolder, archive, folderLock) {
    connectTimers();
}

void Recorder::connectTimers() {
    QObject::connect(&tmrZT1, &QTimer::timeout, &tmrZT1, [this] { tmrZT1_Timer(); });
    tmrZT2.setObjectName(QStringLiteral("tmrZT2"));
    QObject::connect(&tmrZT2, &BatchedTimer::ticksDue, &tmrZT2, [this](int count) {
        for (int tick = 0; tick < count && tmrZT2.isActive(); ++tick) {
            // Only the last tick's bars are seen; the others' would only make them flicker.
            barsShown_ = tick == count - 1;
            tmrZT2_Timer();
        }
        barsShown_ = true;
    });
    QObject::connect(&tmrZT3, &QTimer::timeout, &tmrZT3, [this] { tmrZT3_Timer(); });
    QObject::connect(&tmr_Blink, &QTimer::timeout, &tmr_Blink, [this] { tmr_Blink_Timer(); });
    QObject::connect(&tmrAufnahme, &QTimer::timeout, &tmrAufnahme, [this] { tmrAufnahme_Timer(); });
}

void Recorder::stopTimers() {
    for (QTimer* timer : {&tmrZT1, &tmrZT3, &tmr_Blink, &tmrAufnahme}) {
        timer->stop();
    }
    tmrZT2.stop();
    meter_.stopTimer();
    capture_.noteProgramEnded();
}

void Recorder::resetState() {
    const StateReport report(*this);
    recordingActive = false;
    capturePaused = false;
    silenceTicks = 0;
    recordTicks = 0;
    pauseTicks = 0;
    blinkPhase = 0;
    switchOnUnheard_ = false;
    splitOpen_ = false;
    piece_ = RecordingPiece::Beginning;
    capture_.recordingName.clear();
    switchedOn_ = false;
}

void Recorder::setSwitch(bool on) {
    switch_ = on;
    emit switchChanged(on);
}

void Recorder::switchOn() {
    const StateReport report(*this);
    setSwitch(true);
    runSwitchOn();
}

void Recorder::switchOff() {
    const StateReport report(*this);
    setSwitch(false);
    runSwitchOff();
}

void Recorder::runSwitchOn() {
    emit switchShown(true);
    meter_.switchOn();
    switchedOn_ = true;
    platform_.events.record(EventPriority::Info, QStringLiteral("Recorder eingeschaltet"));
    enable(tmr_Blink);
    enable(tmrZT2);
    tmrAufnahme_Timer();
    meter_.startTimer();
    capture_.startCapture();
}

void Recorder::runSwitchOff() {
    // Shows the sound window at the playback volume, ready for continuous play's tick to play the newest
    // entry.
    emit switchingOff();
    finishRecording();
    splitOpen_ = false;
    emit switchShown(false);
    platform_.sounds.stop();
    tmrZT2.stop();
    tmrZT1.stop();
    // Also empties the level bar.
    meter_.switchOff();
    capture_.recordingName.clear();
    emit recordBarChanged(0);
    emit silenceBarChanged(0);
    emit recordLampChanged(RecordLamp::Idle);
    recordingActive = false;
    silenceTicks = 0;
    noteSwitchedOff();
    emit switchedOff();
}

void Recorder::onSignal() {
    const StateReport report(*this);
    switchOnUnheard_ = false;
    pauseTicks = -1;
    enable(tmrZT3);
    // A paused capture takes up again at once, so the start of the next
    // transmission is not lost waiting for the pause watch's next tick.
    if (capturePaused) {
        capturePaused = false;
        capture_.resumeCapture();
    }
    if (recordingActive) {
        return;
    }
    recordingActive = true;
    beginRecording(std::exchange(splitOpen_, false) ? RecordingPiece::Continuation
                                                    : RecordingPiece::Beginning);
    emit recordLampShown();
    enable(tmrZT1);
    enable(tmrZT2);
    enable(tmr_Blink);
    capture_.startCapture();
}

// Started by the switch-on, to catch a transmission already running; until the
// meter hears a signal it may be silence alone.
void Recorder::tmrAufnahme_Timer() {
    const StateReport report(*this);
    if (recordingActive) {
        return;
    }
    recordingActive = true;
    beginRecording(RecordingPiece::Beginning);
    switchOnUnheard_ = true;
    enable(tmrZT1);
    enable(tmr_Blink);
    emit recordLampShown();
    capture_.startCapture();
}

void Recorder::beginRecording(RecordingPiece piece) {
    // Counted from the recording's own start: a count run on from a split would cut
    // the next transmission's first recording short.
    recordTicks = 0;
    piece_ = piece;
    switchOnUnheard_ = false;
}

void Recorder::finishRecording() {
    const StateReport report(*this);
    tmrZT1.stop();
    saveCapture();
    tmrZT1.start();
}

// The recording stays unheard until the next begins, so it is never told as heard
// on its way out.
void Recorder::saveCapture() {
    if (switchOnUnheard_) {
        capture_.discardRecording();
    } else {
        capture_.saveRecording(piece_);
    }
}

void Recorder::tmrZT2_Timer() {
    const StateReport report(*this);
    if (barsShown_) {
        emit recordBarChanged(recordTicks);
        emit silenceBarChanged(silenceTicks);
    }
    if (recordTicks > settings_.maxRecordLimit) {
        const bool splitsTransmission = recordingActive && !switchOnUnheard_;
        finishRecording();
        splitOpen_ = splitOpen_ || splitsTransmission;
        recordingActive = false;
        silenceTicks = 0;
        recordTicks = 0;
        pauseTicks = 0;
        tmrZT3.stop();
        emit recordBarChanged(0);
        emit silenceBarChanged(0);
        enable(tmrZT1);
        tmr_Blink.stop();
        emit recordLampChanged(RecordLamp::Idle);
        return;
    }
    ++silenceTicks;
    ++recordTicks;
}

void Recorder::tmrZT1_Timer() {
    const StateReport report(*this);
    if (silenceTicks == 0) {
        tmrZT2_Timer();
        enable(tmrZT2);
        emit recordLampShown();
        return;
    }
    if (silenceTicks > settings_.minRecordLimit) {
        finishRecording();
        endRecordingState();
    }
}

void Recorder::endRecordingState() {
    recordingActive = false;
    splitOpen_ = false;
    emit silenceBarChanged(0);
    silenceTicks = 0;
    recordTicks = 0;
    pauseTicks = 0;
    tmrZT3.stop();
    tmrZT2.stop();
    tmrZT1.stop();
    tmr_Blink.stop();
    emit recordLampChanged(RecordLamp::Idle);
    emit recordBarChanged(0);
}

void Recorder::saveOnInputLoss() {
    const StateReport report(*this);
    if (!recordingActive) {
        return;
    }
    finishRecording();
    endRecordingState();
    capturePaused = false;
}

void Recorder::tmrZT3_Timer() {
    const StateReport report(*this);
    ++pauseTicks;
    if (pauseTicks > settings_.silencePauseLimit) {
        tmrZT3.stop();
        capture_.pauseCapture();
        pauseTicks = 0;
        capturePaused = true;
    } else if (capturePaused) {
        capturePaused = false;
        capture_.resumeCapture();
    }
}

void Recorder::tmr_Blink_Timer() {
    ++blinkPhase;
    if (!switch_) {
        return;
    }
    // A capture that could not start must not look like a recording.
    if (!capture_.isCapturing()) {
        emit recordLampChanged(RecordLamp::Idle);
        return;
    }
    if (blinkPhase == 1) {
        emit recordLampChanged(RecordLamp::DarkRed);
    } else if (blinkPhase == 2) {
        emit recordLampChanged(RecordLamp::Dim);
    } else {
        emit recordLampChanged(RecordLamp::Red);
        blinkPhase = 0;
    }
}

void Recorder::noteSwitchedOff() {
    if (std::exchange(switchedOn_, false)) {
        platform_.events.record(EventPriority::Info, QStringLiteral("Recorder ausgeschaltet"));
    }
}

void Recorder::stopRecorder() {
    if (capture_.isCapturing()) {
        // What was heard up to the end is still on its way in blocks from the card:
        // it is waited for, so the recording keeps the last words before the end.
        platform_.clock.pause(kInputCatchUpMs);
    }
    saveCapture();
    setSwitch(false);
    tmrZT1.stop();
    // Also empties the level bar.
    meter_.switchOff();
    emit recordBarChanged(0);
    emit recordLampChanged(RecordLamp::Idle);
    platform_.sounds.stop();
    recordingActive = false;
    silenceTicks = 0;
    noteSwitchedOff();
    announceState();
}

} // namespace kestrova
