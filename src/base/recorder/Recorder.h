#pragma once

#include "base/archive/RecordingRules.h"
#include "base/common/BatchedTimer.h"
#include "base/common/RepeatingTimer.h"
#include "base/platform/Platform.h"
#include "base/recorder/CaptureControl.h"
#include "base/recorder/LevelMeterControl.h"

#include <QObject>
#include <QString>

namespace kestrova {

class Archive;
class FolderLock;
struct SettingsValues;

// The colours the recording lamp goes through: grey while nothing is recorded,
// then dark red, dim and red in turn while the capture runs.
enum class RecordLamp { Idle, DarkRed, Dim, Red };

// The voice-operated recording control: when a recording starts, pauses over
// silence, and ends after a silence or at the maximum length. It owns its timers,
// the level meter and the capture; the main window shows what it signals, and
// whoever shows its state (the web page) follows stateChanged and the meter's
// levelChanged.
class Recorder : public QObject {
    Q_OBJECT
public:
    // Files what it records through the archive, and records only while the
    // program folder's lock is this program's.
    Recorder(const Platform& platform, const SettingsValues& settings, const QString& programFolder,
             Archive& archive, FolderLock& folderLock);

    // Initial state of the meter and the recording control.
    void resetState();
    // The recorder's switch, which the main window's "Aufnahme" box shows: on runs
    // the switch-on again even when it is on (chk_Start_Click, checked), off ends
    // what runs (chk_Start_Click, unchecked).
    void switchOn();
    void switchOff();
    void onSignal();
    void tmrAufnahme_Timer();
    void tmrZT1_Timer();
    void tmrZT2_Timer();
    void tmrZT3_Timer();
    void tmr_Blink_Timer();
    void finishRecording();
    // As the program ends: a running capture is saved and filed, the input closed.
    // Whoever ends the program stops its playback first and ends it afterwards.
    void stopRecorder();
    // The input went deaf: the running recording is saved and filed, and the next
    // signal after the input returns starts a new one.
    void saveOnInputLoss();
    bool isSwitchedOn() const { return switchedOn_; }
    // A recording runs and has heard a signal: what its followers report as recording.
    // The capture begun at switch-on only listens until it hears one.
    bool isRecordingHeard() const { return recordingActive && !switchOnUnheard_; }
    // Also the level meter's: nothing of the recorder ticks, and no message opens,
    // once the program has ended.
    void stopTimers();

    LevelMeterControl& meter() { return meter_; }
    CaptureControl& capture() { return capture_; }
    const LevelMeterControl& meter() const { return meter_; }
    const CaptureControl& capture() const { return capture_; }

    bool recordingActive = false;
    bool capturePaused = false;
    long long silenceTicks = 0;
    long long recordTicks = 0;
    long long pauseTicks = 0;
    int blinkPhase = 0;

    // For the tests, which look at the timers but never drive them.
    const QTimer& silenceWatchTimer() const { return tmrZT1; }
    const BatchedTimer& recordingClock() const { return tmrZT2; }
    const QTimer& pauseWatchTimer() const { return tmrZT3; }
    const QTimer& lampTimer() const { return tmr_Blink; }
    const QTimer& recordingStartTimer() const { return tmrAufnahme; }

signals:
    // Switched off by its box: first the list's entry is pressed (the sound window
    // shown at the playback volume), and at the end the player's position goes back
    // to its start and what waits to play after the stop plays.
    void switchingOff();
    void switchedOff();
    // Each change of the state as a handler leaves it, before stateChanged.
    void switchedOnChanged(bool on);
    void recordingChanged(bool recording);
    void pausedChanged(bool paused);
    // Switched on or off, a recording begun or ended, its capture paused or resumed.
    void stateChanged();
    // The recorder shown switched on or off (the frame's title, the window's height).
    void switchShown(bool on);
    // The switch set on or off; the "Aufnahme" box shows it.
    void switchChanged(bool on);
    // The record and silence bars, in tenths of a second.
    void recordBarChanged(long long ticks);
    void silenceBarChanged(long long ticks);
    // The recording lamp shown, and its colour.
    void recordLampShown();
    void recordLampChanged(RecordLamp lamp);

private:
    // What stateChanged reports, to tell a change from a handler that changed nothing.
    struct Shown {
        bool switchedOn = false;
        bool recording = false;
        bool paused = false;
        QString name;
        bool operator==(const Shown&) const = default;
    };
    // Emits stateChanged when the state differs from the one last reported.
    void announceState();
    class StateReport;

    // Two of the input's blocks.
    static constexpr int kInputCatchUpMs = 200;
    // False for the ticks of a batch before its last.
    bool barsShown_ = true;
    void connectTimers();
    void setSwitch(bool on);
    void runSwitchOn();
    void runSwitchOff();
    void noteSwitchedOff();
    void endRecordingState();
    // A new recording's first steps: its own count of ticks, and what it is to its transmission.
    void beginRecording(RecordingPiece piece);
    // Saves and files the running capture, or throws away the switch-on's that heard nothing.
    void saveCapture();

    const Platform platform_;
    const SettingsValues& settings_;
    LevelMeterControl meter_;
    CaptureControl capture_;
    bool switchedOn_ = false;
    // The switch as last set; switchedOn_ follows it once the switch's steps are done.
    bool switch_ = false;
    // The capture begun at switch-on has heard no signal yet: if it ends so, it
    // held only silence and is thrown away, not filed.
    bool switchOnUnheard_ = false;
    // A recording was split at the maximum length and no silence has ended its
    // transmission since: the next recording continues it.
    bool splitOpen_ = false;
    RecordingPiece piece_ = RecordingPiece::Beginning;
    Shown shown_;
    // Silence watch: ends the recording after the silence limit.
    RepeatingTimer tmrZT1{"tmrZT1", 1000};
    // Counts the recording and silence ticks, and ends at the maximum length.
    // Two 100 ms ticks on each of the meter's wake-ups.
    BatchedTimer tmrZT2{nullptr, 100, platform_.wakeSpacingMs()};
    // Pause watch: pauses the capture over a shorter silence.
    RepeatingTimer tmrZT3{"tmrZT3", 1000};
    // A multiple of the meter's wake-up spacing, so the lamp costs no wake-ups.
    RepeatingTimer tmr_Blink{"tmr_Blink", 400};
    // Never started: its handler runs as the recorder is switched on.
    RepeatingTimer tmrAufnahme{"tmrAufnahme", 1000};
};

} // namespace kestrova
