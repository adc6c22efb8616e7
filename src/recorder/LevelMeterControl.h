#pragma once

#include "common/BatchedTimer.h"
#include "recorder/LevelMeter.h"

#include <QObject>
#include <QtGlobal>
#include <optional>

namespace kestrova {

class Services;

// The input level meter on the main window: reads the shared input on every tick
// of its timer and reports every sample above the threshold. The timer wakes it
// for several ticks at once; each tick still measures the input as it stood at
// its own time.
class LevelMeterControl : public QObject {
    Q_OBJECT
public:
    explicit LevelMeterControl(Services& program);

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
    void sli_Schwelle_Scroll();
    void ed_Interval_Click();

    float levelEnvelope = 0;
    int displayLevel = 0;
    // The value the level bar was given last; above 100 the bar shows full.
    int barValue = 0;

    // Input arrives in blocks of 100 ms; the meter wakes every second block: the
    // program listens for days, and each wake-up of the user interface costs more
    // than the ticks it runs. The bar moves five times a second; the capture counts
    // its pre-roll from the sample heard, so a later start loses nothing. The main
    // window's frequent timers run in batches on the same wake-ups or have periods
    // of whole multiples of it.
    static constexpr int kWakeMs = 200;

    // For the tests, which look at the timer but never drive it.
    const BatchedTimer& meterTimer() const { return tmrPegel; }

signals:
    // The level bar's new value; at most once a wake-up, and only when it moved.
    void levelChanged(int barValue);

private:
    void show(const LevelReading& reading);
    // The bar at `value`, and its followers told when it moved.
    void showBar(int value);
    // Notices the shared input going deaf and coming back; true while it is deaf.
    bool followInput();

    Services& program_;
    LevelBuffer levelBuffer_{};
    // The overload lamp's colour as last set; none before the first tick.
    std::optional<quint32> lampColor_;
    bool inputLost_ = false;
    // The meter's 10 ms ticks, run in batches as the input arrives.
    BatchedTimer tmrPegel{nullptr, 10, kWakeMs};
};

} // namespace kestrova
