#include "recorder/Recorder.h"

#include "archive/ListInteractions.h"
#include "platform/Clock.h"
#include "platform/EventLog.h"
#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "services/Services.h"
#include "settings/SettingsValues.h"
#include "ui/Colors.h"
#include "ui/ControlEvents.h"
#include "ui/FormGeometry.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"
#include "ui/ValueBar.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace kestrova {

namespace {
// Switching on a running timer leaves it running: its next tick is not postponed.
template <typename Timer> void enable(Timer& timer) {
    if (!timer.isActive()) {
        timer.start();
    }
}

void showBar(ValueBar* bar, long long value) {
    bar->setValue(static_cast<int>(std::clamp<long long>(value, bar->minimum(), bar->maximum())));
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
              .recording = recordingActive,
              .paused = capturePaused,
              .name = capture_.recordingName};
    if (now == shown_) {
        return;
    }
    shown_ = std::move(now);
    emit stateChanged();
}

Recorder::Recorder(Services& program) : program_(program), meter_(program), capture_(program) {
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
}

void Recorder::resetState() {
    const StateReport report(*this);
    recordingActive = false;
    capturePaused = false;
    silenceTicks = 0;
    recordTicks = 0;
    pauseTicks = 0;
    blinkPhase = 0;
    capture_.recordingName.clear();
    switchedOn_ = false;
}

void Recorder::chk_Start_Click() {
    const StateReport report(*this);
    if (program_.frm_DoKu->chk_Start->isChecked()) {
        switchOn();
    } else {
        switchOff();
    }
}

void Recorder::switchOn() {
    MainForm& main = *program_.frm_DoKu;
    main.cmd_File_lö->setEnabled(false);
    main.fr2->setTitle(QStringLiteral("Recorder eingeschaltet"));
    setForeColor(main.fr2, kColorRed);
    setHeightTwips(&main, main.tallHeight);
    meter_.switchOn();
    switchedOn_ = true;
    program_.platform().events.record(EventPriority::Info, QStringLiteral("Recorder eingeschaltet"));
    enable(tmr_Blink);
    enable(tmrZT2);
    tmrAufnahme_Timer();
    meter_.startTimer();
    capture_.startCapture();
}

void Recorder::switchOff() {
    MainForm& main = *program_.frm_DoKu;
    main.cmd_File_lö->setVisible(true);
    // Shows the sound window at the playback volume, ready for continuous play's tick to play the newest
    // entry.
    program_.listInteractions().lb_Sounds_MouseDown(1, 0, 0, 0);
    finishRecording();
    main.fr2->setTitle(QStringLiteral("Recorder ausgeschaltet"));
    setForeColor(main.fr2, kColorWindowText);
    program_.platform().sounds.stop();
    main.chk_Start->setChecked(false);
    tmrZT2.stop();
    setHeightTwips(&main, main.tallHeight);
    tmrZT1.stop();
    meter_.switchOff();
    capture_.recordingName.clear();
    main.Progressbar1->setValue(0);
    main.progressbar3->setValue(0);
    main.progressbar4->setValue(0);
    showIdleLamp();
    setHeightTwips(&main, main.tallHeight);
    program_.frm_Oszi->slider->setValue(0);
    recordingActive = false;
    silenceTicks = 0;
    noteSwitchedOff();
    program_.player().playAfterStop();
}

void Recorder::onSignal() {
    const StateReport report(*this);
    MainForm& main = *program_.frm_DoKu;
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
    main.lbl_Record->setVisible(true);
    enable(tmrZT1);
    enable(tmrZT2);
    enable(tmr_Blink);
    capture_.startCapture();
}

void Recorder::tmrAufnahme_Timer() {
    const StateReport report(*this);
    if (recordingActive) {
        return;
    }
    MainForm& main = *program_.frm_DoKu;
    recordingActive = true;
    enable(tmrZT1);
    enable(tmr_Blink);
    main.lbl_Record->setVisible(true);
    capture_.startCapture();
}

void Recorder::finishRecording() {
    const StateReport report(*this);
    tmrZT1.stop();
    capture_.saveRecording();
    tmrZT1.start();
}

void Recorder::tmrZT2_Timer() {
    const StateReport report(*this);
    MainForm& main = *program_.frm_DoKu;
    if (barsShown_) {
        showBar(main.progressbar3, recordTicks);
        showBar(main.progressbar4, silenceTicks);
    }
    if (recordTicks > program_.settingsValues().maxRecordLimit) {
        finishRecording();
        recordingActive = false;
        silenceTicks = 0;
        recordTicks = 0;
        pauseTicks = 0;
        tmrZT3.stop();
        main.progressbar3->setValue(0);
        main.progressbar4->setValue(0);
        enable(tmrZT1);
        tmr_Blink.stop();
        showIdleLamp();
        return;
    }
    ++silenceTicks;
    ++recordTicks;
}

void Recorder::tmrZT1_Timer() {
    const StateReport report(*this);
    MainForm& main = *program_.frm_DoKu;
    if (silenceTicks == 0) {
        tmrZT2_Timer();
        enable(tmrZT2);
        main.lbl_Record->setVisible(true);
        return;
    }
    if (silenceTicks > program_.settingsValues().minRecordLimit) {
        finishRecording();
        endRecordingState();
    }
}

void Recorder::endRecordingState() {
    MainForm& main = *program_.frm_DoKu;
    recordingActive = false;
    main.progressbar4->setValue(0);
    silenceTicks = 0;
    recordTicks = 0;
    pauseTicks = 0;
    tmrZT3.stop();
    tmrZT2.stop();
    tmrZT1.stop();
    tmr_Blink.stop();
    showIdleLamp();
    main.progressbar3->setValue(0);
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
    if (pauseTicks > program_.settingsValues().silencePauseLimit) {
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
    if (!program_.frm_DoKu->chk_Start->isChecked()) {
        return;
    }
    // A capture that could not start must not look like a recording.
    if (!capture_.isCapturing()) {
        showIdleLamp();
        return;
    }
    QLabel* lamp = program_.frm_DoKu->lbl_Record;
    if (blinkPhase == 1) {
        setBackColor(lamp, kColorDarkRed);
    } else if (blinkPhase == 2) {
        setBackColor(lamp, kColorUndefinedSystem);
    } else {
        setBackColor(lamp, kColorRed);
        blinkPhase = 0;
    }
}

void Recorder::showIdleLamp() {
    setBackColor(program_.frm_DoKu->lbl_Record, kColorIdleLamp);
}

void Recorder::noteSwitchedOff() {
    if (std::exchange(switchedOn_, false)) {
        program_.platform().events.record(EventPriority::Info, QStringLiteral("Recorder ausgeschaltet"));
    }
}

void Recorder::stopRecorder() {
    MainForm& main = *program_.frm_DoKu;
    program_.player().cmdStop_Click();
    if (capture_.isCapturing()) {
        // What was heard up to the end is still on its way in blocks from the card:
        // it is waited for, so the recording keeps the last words before the end.
        program_.platform().clock.pause(kInputCatchUpMs);
    }
    capture_.saveRecording();
    main.chk_Start->setChecked(false);
    tmrZT1.stop();
    meter_.switchOff();
    main.Progressbar1->setValue(0);
    main.progressbar3->setValue(0);
    showIdleLamp();
    program_.platform().sounds.stop();
    recordingActive = false;
    silenceTicks = 0;
    noteSwitchedOff();
    announceState();
    program_.endProgram();
}

void Recorder::connectControls() {
    MainForm& main = *program_.frm_DoKu;
    LevelMeterControl& meter = meter_;
    QObject::connect(main.chk_Start, &QCheckBox::clicked, &main, [this] { chk_Start_Click(); });
    // Values the program sets are set with signals blocked, so this is the user's move.
    QObject::connect(main.sli_Schwelle, &QSlider::valueChanged, &main,
                     [&meter] { meter.sli_Schwelle_Scroll(); });
    QObject::connect(program_.frm_Einstellungen->ed_Interval_mouse, &MouseEvents::clicked, &main,
                     [&meter] { meter.ed_Interval_Click(); });
}

} // namespace kestrova
