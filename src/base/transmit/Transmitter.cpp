#include "base/transmit/Transmitter.h"

#include "base/audio/OutputVolume.h"
#include "base/common/NumericValue.h"
#include "base/desktop/Dialogs.h"
#include "base/desktop/EventLog.h"
#include "base/platform/Platform.h"
#include "base/serial/SerialLines.h"
#include "base/serial/SerialPortNames.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/HeldSounds.h"

#include <cstdint>
#include <utility>

namespace kestrova {

namespace {

constexpr QLatin1Char kPinFour('4');
constexpr QLatin1Char kPinSeven('7');

QString serialFailureText(SerialFailure failure) {
    switch (failure) {
    case SerialFailure::Missing:
        return QStringLiteral("Die Schnittstelle gibt es nicht.");
    case SerialFailure::NoPermission:
        return QStringLiteral("Keine Berechtigung: Der Benutzer muss Mitglied der Gruppe \"dialout\" sein "
                              "(danach neu anmelden).");
    case SerialFailure::InUse:
        return QStringLiteral("Die Schnittstelle wird von einem anderen Programm benutzt.");
    case SerialFailure::NoControlLines:
        return QStringLiteral("Die Leitungen DTR und RTS lassen sich nicht schalten.");
    case SerialFailure::Failed:
    case SerialFailure::None:
        break;
    }
    return QStringLiteral("Die Schnittstelle antwortet nicht.");
}

const QString& pttPinMessage() {
    static const QString text = QStringLiteral(
        "Zur Sendersteuerung stehen nur \rPin 4 (DTR) oder Pin 7 (RTS)\rzur Verfügung!\r\r(Sub D9)");
    return text;
}

const QString& squelchPinMessage() {
    static const QString text = QStringLiteral(
        "Als Squelch-Eingang stehen nur \rPin 1 (DCD), Pin 6 (DSR),\rPin 8 (CTS) oder Pin 9 (RI)\rzur "
        "Verfügung!\r\rBitte aus der Liste wählen.\r(Sub D9)");
    return text;
}

} // namespace

Transmitter::Transmitter(const Platform& platform, SettingsStore& settings)
    : platform_(platform), store_(settings), settings_(settings.values) {}

Transmitter::~Transmitter() {
    shutdown();
}

bool Transmitter::controlEnabled() const {
    return settings_.txControlEnabled == 1;
}

bool Transmitter::keyingOnDtr() const {
    return settings_.pttPin == 4;
}

void Transmitter::openControlPort() {
    if (!controlEnabled()) {
        // With the control switched off nothing may stay keyed behind the user's back.
        if (portOpen_) {
            releaseAndClose();
        }
        return;
    }
    SerialLines& serial = platform_.serial;
    if (portOpen_ || serial.isOpen()) {
        releaseAndClose();
    }
    const QString& name = settings_.comPortName;
    if (isNoPort(name)) {
        emit txButtonUnusable();
        return;
    }
    // The adapter lowers both lines as soon as the port is open; nothing is raised
    // here before the rest state, so opening never keys the transmitter.
    if (!serial.open(name)) {
        reportNoPort();
        return;
    }
    portOpen_ = true;
    rtsKeyed_ = false;
    applyRestState();
}

void Transmitter::applyRestState() {
    SerialLines& serial = platform_.serial;
    if (!serial.setDtr(false)) {
        portFailed();
        return;
    }
    // Keying on DTR, RTS stays high while the port is open, as interfaces powered from it expect.
    if (!serial.setRts(keyingOnDtr())) {
        portFailed();
    }
}

void Transmitter::transmitterOn() {
    if (!held_) {
        keyingAsked_ = true;
        keyLine();
    }
}

void Transmitter::transmitterOff() {
    if (!held_) {
        keyingAsked_ = false;
        unkeyLine();
    }
}

void Transmitter::keyLine() {
    if (!controlEnabled() || !portOpen_) {
        return;
    }
    SerialLines& serial = platform_.serial;
    bool done = false;
    if (keyingOnDtr()) {
        done = serial.setDtr(true);
    } else {
        done = serial.setRts(true);
        rtsKeyed_ = rtsKeyed_ || done;
    }
    if (!done) {
        portFailed();
        return;
    }
    noteKeyed(true);
}

void Transmitter::unkeyLine() {
    if (!controlEnabled() || !portOpen_) {
        return;
    }
    SerialLines& serial = platform_.serial;
    if (!serial.setDtr(false)) {
        portFailed();
        return;
    }
    if (!keyingOnDtr() || rtsKeyed_) {
        if (!serial.setRts(false)) {
            portFailed();
            return;
        }
        rtsKeyed_ = false;
    }
    noteKeyed(false);
}

void Transmitter::noteKeyed(bool keyed) {
    if (std::exchange(keyed_, keyed) != keyed) {
        platform_.events.record(EventPriority::Info, keyed ? QStringLiteral("Sender getastet")
                                                           : QStringLiteral("Sender freigegeben"));
        emit keyedChanged(keyed);
    }
}

QString Transmitter::readSquelchLine() {
    if (!controlEnabled() || !portOpen_) {
        return {};
    }
    const std::optional<ModemStatus> status = platform_.serial.modemStatus();
    if (!status) {
        portFailed();
        return {};
    }
    bool asserted = false;
    switch (settings_.squelchPin) {
    case 1:
        asserted = status->dcd;
        break;
    case 6:
        asserted = status->dsr;
        break;
    case 8:
        asserted = status->cts;
        break;
    case 9:
        asserted = status->ri;
        break;
    default:
        break;
    }
    return asserted ? QStringLiteral("1") : QStringLiteral("0");
}

void Transmitter::releaseAndClose() {
    SerialLines& serial = platform_.serial;
    // Results do not matter: the port is going away either way.
    serial.setDtr(false);
    serial.setRts(false);
    serial.close();
    portOpen_ = false;
    rtsKeyed_ = false;
    noteKeyed(false);
}

void Transmitter::shutdown() {
    if (portOpen_ || platform_.serial.isOpen()) {
        releaseAndClose();
    }
}

void Transmitter::reportNoPort() {
    emit txButtonUnusable();
    // The box says only that; which port and why stand in the status bar.
    const QString why = QStringLiteral("Kein Anschluß an ") + settings_.comPortName + QStringLiteral(": ") +
                        serialFailureText(platform_.serial.failure());
    emit notice(why);
    platform_.events.record(EventPriority::Error, why);
    platform_.dialogs.message(QStringLiteral("Kein Anschluß"), QString(), MessageButtons::Ok,
                              MessageIcon::None);
    // Again after the box, which may have stood longer than the notice.
    emit notice(why);
}

void Transmitter::portFailed() {
    // Forget the port before the message box: timers keep running while it is
    // open and must find no port rather than report again.
    portOpen_ = false;
    rtsKeyed_ = false;
    // Whether the line is still up is unknown; the log names the failure instead.
    if (std::exchange(keyed_, false)) {
        emit keyedChanged(false);
    }
    platform_.serial.close();
    showTxButton(false);
    reportNoPort();
}

void Transmitter::togglePushToTalk() {
    // A click during a held transmission would only part the button from the line.
    if (held_) {
        return;
    }
    showTxButton(!txPressed_);
    if (txPressed_) {
        transmitterOn();
    } else {
        transmitterOff();
    }
}

void Transmitter::releaseTxButton() {
    showTxButton(false);
}

void Transmitter::showTxButton(bool pressed) {
    if (std::exchange(txPressed_, pressed) != pressed) {
        emit txButtonChanged(pressed);
    }
}

QChar Transmitter::pttPinTyped(QChar typed) {
    if (!controlEnabled() || typed == kPinFour || typed == kPinSeven) {
        return typed;
    }
    emit pttPinRefused();
    platform_.dialogs.message(pttPinMessage(), QString(), MessageButtons::Ok, MessageIcon::None);
    // Keyed on DTR from now on, before the settings are saved.
    store_.change([](SettingsValues& values) { values.pttPin = 4; });
    return kPinFour;
}

QChar Transmitter::squelchPinTyped(QChar typed) {
    if (!controlEnabled()) {
        return typed;
    }
    emit squelchPinRefused();
    platform_.dialogs.message(squelchPinMessage(), QString(), MessageButtons::Ok, MessageIcon::None);
    return {};
}

void Transmitter::chooseVolume(int sliderPosition) {
    const auto percent = static_cast<double>(100 - wholePart(sliderPosition * 0.0015259021896696422));
    store_.change([sliderPosition, percent](SettingsValues& values) {
        values.outputLevel = 65535 - sliderPosition;
        values.volumePercent = percent;
    });
    applyOutputVolume();
}

void Transmitter::setOutputLevel(int level) {
    store_.change([level](SettingsValues& values) { values.outputLevel = level; });
    applyOutputVolume();
}

void Transmitter::setOutputDevice(int device) {
    outputDevice_ = device;
}

void Transmitter::applyOutputVolume() {
    const auto level = static_cast<std::uint32_t>(settings_.outputLevel) & 0xFFFFu;
    platform_.audioOutput.setVolume(outputDevice_, (level << 16) | level);
}

TransmitterHold::TransmitterHold(Transmitter& transmitter, HeldSounds& sounds)
    : transmitter_(transmitter), sounds_(sounds) {
    emit transmitter_.holdBegins();
    transmitter_.held_ = true;
    sounds_.hold();
}

TransmitterHold::~TransmitterHold() {
    transmitter_.unkeyLine();
    sounds_.release();
    transmitter_.held_ = false;
}

void TransmitterHold::key() {
    transmitter_.keyLine();
}

bool TransmitterHold::play(const QStringList& paths, int pauseMs) {
    return sounds_.playHeld(paths, pauseMs);
}

} // namespace kestrova
