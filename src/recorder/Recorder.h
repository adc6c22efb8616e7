#pragma once

#include <QString>

namespace kestrova {

class Program;

// The recorder switch and the recorder's state.
class Recorder {
public:
    explicit Recorder(Program& program);

    // Initial state of the meter and the recording control.
    void resetState();
    void chk_Start_Click();
    void stopRecorder();
    bool isSwitchedOn() const { return switchedOn_; }

    bool recordingActive = false;
    bool capturePaused = false;
    long long silenceTicks = 0;
    long long recordTicks = 0;
    long long pauseTicks = 0;
    int blinkPhase = 0;
    QString recordingName;

private:
    void switchOn();
    void switchOff();

    Program& program_;
    bool switchedOn_ = false;
};

} // namespace kestrova
