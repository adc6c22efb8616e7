#include "base/recorder/LevelMeterControl.h"

#include "base/audio/InputHub.h"
#include "base/common/BatchedTimer.h"
#include "base/common/NumericValue.h"
#include "base/common/RepeatingTimer.h"
#include "base/desktop/EventLog.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsValues.h"
#include "base/wav/Pcm8.h"

#include <climits>
#include <cstdint>
#include <utility>

namespace kestrova {

namespace {

// The hub's number of the sample at `offset` of a buffer that ends before sample
// `bufferEnd`. Just after opening the buffer's front still holds older bytes: 0.
std::uint64_t sampleNumber(std::uint64_t bufferEnd, std::size_t offset) {
    const std::uint64_t past = bufferEnd + offset;
    return past >= levelBufferSize ? past - levelBufferSize : 0;
}

} // namespace

LevelMeterControl::LevelMeterControl(const Platform& platform, const SettingsValues& settings,
                                     Recorder& recorder)
    : platform_(platform), settings_(settings), recorder_(recorder) {
    // Zeros would read as full scale until the input has filled the buffer.
    levelBuffer_.fill(kPcm8Silence);
    tmrPegel.setObjectName(QStringLiteral("tmrPegel"));
    QObject::connect(&tmrPegel, &BatchedTimer::ticksDue, &tmrPegel, [this](int count) { runTicks(count); });
}

// A device that cannot be opened yet (the sound server starts after the program,
// as a user unit may at boot) is tried again every second, and the recorder is on:
// it records as soon as the device delivers. followInput() says so.
void LevelMeterControl::switchOn() {
    // Each session starts from silence: the last one's picture and envelope would
    // report a signal before the input has filled the buffer.
    levelBuffer_.fill(kPcm8Silence);
    levelEnvelope = 0;
    platform_.inputHub.open(inputDevice_, settings_.meterSampleRate);
}

void LevelMeterControl::startTimer() {
    // The timer itself stays stopped at an interval of 0.
    if (!tmrPegel.isActive()) {
        tmrPegel.start();
    }
}

bool LevelMeterControl::setMeterInterval(long long milliseconds) {
    if (!isTimerInterval(milliseconds)) {
        return false;
    }
    tmrPegel.setInterval(static_cast<int>(milliseconds));
    return true;
}

void LevelMeterControl::switchOff() {
    platform_.inputHub.close();
    followInput();
    tmrPegel.stop();
    showBar(0);
}

void LevelMeterControl::tmrPegel_Timer() {
    runTicks(1);
}

// The samples that arrived since the last wake-up are shared out evenly among the
// ticks, so that the envelope and the threshold see what ticks of their own would.
void LevelMeterControl::runTicks(int count) {
    if (count <= 0) {
        return;
    }
    InputHub& hub = platform_.inputHub;
    const std::uint64_t before = hub.received();
    hub.pump();
    if (followInput()) {
        return;
    }
    const std::uint64_t fresh = hub.received() - before;
    const bool logarithmic = settings_.logLevelDisplay == 1;
    std::uint64_t bufferEnd = 0; // the hub's count of the sample after the buffer's newest
    bool signalled = false;      // in the current tick
    // The capture counts its pre-roll back from the sample that was heard, not from now.
    // The first loud sample of a tick does all its signal does: the later ones of the
    // same tick would only set the same state again, hundreds of times a wake-up.
    const auto onSignal = [&](std::size_t offset) {
        if (signalled) {
            return;
        }
        signalled = true;
        hub.setSignalAt(sampleNumber(bufferEnd, offset));
        recorder_.silenceTicks = 1;
        recorder_.onSignal();
        hub.setSignalAt(std::nullopt);
    };
    const auto ticks = static_cast<std::uint64_t>(count);
    LevelReading reading;
    for (std::uint64_t tick = 1; tick <= ticks; ++tick) {
        bufferEnd = before + fresh * tick / ticks;
        signalled = false;
        // Counted from the newest sample, as a capture started in a tick pumps the hub too.
        hub.latest(levelBuffer_, static_cast<std::size_t>(hub.received() - bufferEnd));
        reading = measureLevel(levelBuffer_, levelEnvelope, logarithmic, threshold_, onSignal);
    }
    show(reading);
}

// A deaf input is not measured: the buffer's last picture would go on starting recordings.
// Its state is told once as it changes, in the status bar and in the event log.
bool LevelMeterControl::followInput() {
    const InputHub& hub = platform_.inputHub;
    const bool lost = hub.inputLost();
    if (lost == inputLost_) {
        return lost;
    }
    inputLost_ = lost;
    const QString note = !lost ? QString()
                         : hub.inputUnavailable()
                             ? QStringLiteral("Eingabegerät lässt sich nicht öffnen – "
                                              "neuer Versuch jede Sekunde")
                             : QStringLiteral("Eingabegerät liefert nichts – wird neu geöffnet");
    emit inputNoteChanged(note);
    if (hub.isOpen()) {
        platform_.events.record(lost ? EventPriority::Warning : EventPriority::Notice,
                                lost ? note : QStringLiteral("Eingabegerät liefert wieder"));
    }
    if (lost) {
        // Nor would the envelope of the last loud sample, falling slowly after the gap.
        levelBuffer_.fill(kPcm8Silence);
        levelEnvelope = 0;
        showBar(0);
        recorder_.saveOnInputLoss();
    }
    return lost;
}

// Every sample is measured, but the controls show the last one of a wake-up only:
// the user sees the same, and the meter costs next to nothing while it listens for days.
void LevelMeterControl::show(const LevelReading& reading) {
    displayLevel = reading.displayLevel;
    showBar(reading.barValue);
    // Setting the lamp's palette every tick would cost more than the measuring.
    if (overloadShown_ != reading.overload) {
        overloadShown_ = reading.overload;
        emit overloadChanged(reading.overload);
    }
    // The figure stands still through long silences, and is not written out anew for them.
    if (figureShown_ != displayLevel) {
        figureShown_ = displayLevel;
        emit levelShown(displayLevel);
    }
}

void LevelMeterControl::showBar(int value) {
    if (std::exchange(barValue, value) != value) {
        emit levelChanged(value);
    }
}

void LevelMeterControl::chooseThreshold(int value) {
    threshold_ = value;
    emit thresholdShown(QString::number(value));
}

void LevelMeterControl::chooseMeterInterval(const QString& text) {
    const long long interval = roundToWhole(numericValue(text));
    if (interval < 0 || interval > INT_MAX) {
        return; // the timer keeps the interval it has
    }
    tmrPegel.setInterval(static_cast<int>(interval));
    if (interval == 0) {
        tmrPegel.stop();
    } else if (recorder_.isSwitchedOn()) {
        startTimer();
    }
    emit meterIntervalShown(QString::number(tmrPegel.interval()) + QStringLiteral(" ms"));
}

} // namespace kestrova
