#pragma once

#include "recorder/CaptureControl.h"
#include "recorder/LevelMeterControl.h"

#include <QString>

namespace kestrova {

class Program;

// The voice-operated recording control: when a recording starts, pauses over
// silence, and ends after a silence or at the maximum length.
class Recorder {
public:
    explicit Recorder(Program& program);

    // Initial state of the meter and the recording control.
    void resetState();
    void chk_Start_Click();
    void onSignal();
    void tmrAufnahme_Timer();
    void tmrZT1_Timer();
    void tmrZT2_Timer();
    void tmrZT3_Timer();
    void tmr_Blink_Timer();
    void finishRecording();
    void stopRecorder();
    // The input went deaf: the running recording is saved and filed, and the next
    // signal after the input returns starts a new one.
    void saveOnInputLoss();
    bool isSwitchedOn() const { return switchedOn_; }

    LevelMeterControl& meter() { return meter_; }
    CaptureControl& capture() { return capture_; }

    bool recordingActive = false;
    bool capturePaused = false;
    long long silenceTicks = 0;
    long long recordTicks = 0;
    long long pauseTicks = 0;
    int blinkPhase = 0;

private:
    void switchOn();
    void switchOff();
    void showIdleLamp();
    void endRecordingState();

    Program& program_;
    LevelMeterControl meter_;
    CaptureControl capture_;
    bool switchedOn_ = false;
};

} // namespace kestrova
