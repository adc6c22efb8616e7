#pragma once

#include "base/common/BatchedTimer.h"
#include "base/platform/Platform.h"
#include "base/recorder/LevelMeter.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kestrova {

class Recorder;
struct SettingsValues;

// The input level meter: reads the shared input on every tick of its timer and
// reports every sample above the threshold to the recorder. The timer wakes it
// for several ticks at once; each tick still measures the input as it stood at
// its own time. The main window shows what it signals.
class LevelMeterControl : public QObject {
    Q_OBJECT
public:
    LevelMeterControl(const Platform& platform, const SettingsValues& settings, Recorder& recorder);

    // The input device the settings form has selected, by its place in the list.
    void setInputDevice(int device) { inputDevice_ = device; }
    // The level above which a sample is a signal, as the threshold slider stands.
    void setThreshold(int threshold) { threshold_ = threshold; }
    int threshold() const { return threshold_; }
    // Opens the selected input device, or keeps trying to.
    void switchOn();
    void switchOff();
    void startTimer();
    void stopTimer() { tmrPegel.stop(); }
    // The settings' interval of the meter's ticks; false, and the interval as it
    // was, for one no timer takes.
    bool setMeterInterval(long long milliseconds);
    int meterInterval() const { return tmrPegel.interval(); }
    void tmrPegel_Timer();
    // Runs `count` ticks that fell due since the last wake-up.
    void runTicks(int count);
    // The user moved the threshold slider to `value` (sli_Schwelle_Scroll).
    void chooseThreshold(int value);
    // The interval field's text taken as the meter's interval (ed_Interval_Click).
    void chooseMeterInterval(const QString& text);

    float levelEnvelope = 0;
    int displayLevel = 0;
    // The value the level bar was given last; above 100 the bar shows full.
    int barValue = 0;

    // For the tests, which look at the timer but never drive it.
    const BatchedTimer& meterTimer() const { return tmrPegel; }

signals:
    // The level bar's new value; at most once a wake-up, and only when it moved.
    void levelChanged(int barValue);
    // The level as a number, at most once a wake-up, and only when it changed.
    void levelShown(int displayLevel);
    // The overload lamp lit or dark, when it changes.
    void overloadChanged(bool overload);
    // The threshold as the main window's label and the start level field write it.
    void thresholdShown(const QString& text);
    // The interval the timer took, as the settings form writes it ("25 ms").
    void meterIntervalShown(const QString& text);
    // Why the input is deaf, for the status bar; empty once it delivers again.
    void inputNoteChanged(const QString& note);

private:
    void show(const LevelReading& reading);
    // The bar at `value`, and its followers told when it moved.
    void showBar(int value);
    // Notices the shared input going deaf and coming back; true while it is deaf.
    bool followInput();

    const Platform platform_;
    const SettingsValues& settings_;
    Recorder& recorder_;
    int inputDevice_ = 0;
    int threshold_ = 0;
    LevelBuffer levelBuffer_{};
    // The overload lamp as last shown; none before the first tick.
    std::optional<bool> overloadShown_;
    std::optional<int> figureShown_;
    bool inputLost_ = false;
    // The meter's 10 ms ticks, run in batches as the input arrives.
    BatchedTimer tmrPegel{nullptr, 10, platform_.wakeSpacingMs()};
};

} // namespace kestrova
