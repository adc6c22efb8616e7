#include "transmit/Transmitter.h"

#include "common/NumericValue.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"
#include "platform/OutputVolume.h"
#include "platform/SerialLines.h"
#include "platform/SerialPortNames.h"
#include "services/Services.h"
#include "settings/SettingsValues.h"
#include "transmit/HeldSounds.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"
#include "ui/StatusBar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <utility>

namespace kestrova {

namespace {

constexpr int kKeyFour = '4';
constexpr int kKeySeven = '7';

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

Transmitter::Transmitter(Services& program) : program_(program) {}

Transmitter::~Transmitter() {
    shutdown();
}

bool Transmitter::controlEnabled() const {
    return program_.settingsValues().txControlEnabled == 1;
}

bool Transmitter::keyingOnDtr() const {
    return program_.settingsValues().pttPin == 4;
}

void Transmitter::openControlPort() {
    if (!controlEnabled()) {
        // With the control switched off nothing may stay keyed behind the user's back.
        if (portOpen_) {
            releaseAndClose();
        }
        return;
    }
    SerialLines& serial = program_.platform().serial;
    if (portOpen_ || serial.isOpen()) {
        releaseAndClose();
    }
    const QString& name = program_.settingsValues().comPortName;
    if (isNoPort(name)) {
        // No port chosen: a TX button that keys nothing would only mislead.
        if (program_.frm_Oszi != nullptr) {
            program_.frm_Oszi->lbl_TX->hide();
        }
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
    SerialLines& serial = program_.platform().serial;
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
        keyLine();
    }
}

void Transmitter::transmitterOff() {
    if (!held_) {
        unkeyLine();
    }
}

void Transmitter::keyLine() {
    if (!controlEnabled() || !portOpen_) {
        return;
    }
    SerialLines& serial = program_.platform().serial;
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
    SerialLines& serial = program_.platform().serial;
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
        program_.platform().events.record(EventPriority::Info, keyed ? QStringLiteral("Sender getastet")
                                                                     : QStringLiteral("Sender freigegeben"));
    }
}

QString Transmitter::readSquelchLine() {
    if (!controlEnabled() || !portOpen_) {
        return {};
    }
    const std::optional<ModemStatus> status = program_.platform().serial.modemStatus();
    if (!status) {
        portFailed();
        return {};
    }
    bool asserted = false;
    switch (program_.settingsValues().squelchPin) {
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
    SerialLines& serial = program_.platform().serial;
    // Results do not matter: the port is going away either way.
    serial.setDtr(false);
    serial.setRts(false);
    serial.close();
    portOpen_ = false;
    rtsKeyed_ = false;
    noteKeyed(false);
}

void Transmitter::shutdown() {
    if (portOpen_ || program_.platform().serial.isOpen()) {
        releaseAndClose();
    }
}

void Transmitter::reportNoPort() {
    if (program_.frm_Oszi != nullptr) {
        program_.frm_Oszi->lbl_TX->hide();
    }
    // The box says only that; which port and why stand in the status bar.
    const QString why = QStringLiteral("Kein Anschluß an ") + program_.settingsValues().comPortName +
                        QStringLiteral(": ") + serialFailureText(program_.platform().serial.failure());
    program_.statusBar().showNotice(why);
    program_.platform().events.record(EventPriority::Error, why);
    program_.platform().dialogs.message(QStringLiteral("Kein Anschluß"), QString(), MessageButtons::Ok,
                                        MessageIcon::None);
    // Again after the box, which may have stood longer than the notice.
    program_.statusBar().showNotice(why);
}

void Transmitter::portFailed() {
    // Forget the port before the message box: timers keep running while it is
    // open and must find no port rather than report again.
    portOpen_ = false;
    rtsKeyed_ = false;
    // Whether the line is still up is unknown; the log names the failure instead.
    keyed_ = false;
    program_.platform().serial.close();
    if (program_.frm_Oszi != nullptr) {
        showReleased(program_.frm_Oszi->lbl_TX);
    }
    reportNoPort();
}

void Transmitter::lbl_TX_Click() {
    // A click during a held transmission would only part the button from the line.
    if (held_) {
        return;
    }
    LabelButton* tx = program_.frm_Oszi->lbl_TX;
    if (!isPressed(tx)) {
        showPressed(tx);
        transmitterOn();
    } else {
        showReleased(tx);
        transmitterOff();
    }
}

void Transmitter::cb_PIN_KeyPress(int& keyAscii) {
    if (!controlEnabled()) {
        return;
    }
    if (keyAscii == kKeyFour || keyAscii == kKeySeven || keyAscii == keycode::Enter) {
        return;
    }
    program_.frm_Einstellungen->cb_PIN->setEditText(QString());
    keyAscii = kKeyFour;
    program_.platform().dialogs.message(pttPinMessage(), QString(), MessageButtons::Ok, MessageIcon::None);
    program_.settingsValues().pttPin = 4;
}

void Transmitter::cb_PIN_RX_KeyPress(int& keyAscii) {
    if (!controlEnabled()) {
        return;
    }
    if (keyAscii == keycode::Enter) {
        return;
    }
    program_.frm_Einstellungen->cb_PIN_RX->setEditText(QString());
    keyAscii = 0;
    program_.platform().dialogs.message(squelchPinMessage(), QString(), MessageButtons::Ok,
                                        MessageIcon::None);
}

void Transmitter::sli_Lautst_Action(int action) {
    if (action != QAbstractSlider::SliderNoAction) {
        sli_Lautst_Scroll();
    }
}

void Transmitter::sli_Lautst_Scroll() {
    // The position, not the value: a drag reports before the value follows it.
    const int v = program_.frm_Oszi->sli_Lautst->sliderPosition();
    program_.settingsValues().outputLevel = 65535 - v;
    applyOutputVolume();
    const long long percent = 100 - wholePart(v * 0.0015259021896696422);
    program_.frm_Einstellungen->ed_PlayPegel->setText(QString::number(percent));
}

void Transmitter::applyOutputVolume() {
    const auto level = static_cast<std::uint32_t>(program_.settingsValues().outputLevel) & 0xFFFFu;
    program_.platform().audioOutput.setVolume(program_.frm_Einstellungen->cb_Device->currentIndex(),
                                              (level << 16) | level);
}

TransmitterHold::TransmitterHold(Transmitter& transmitter, HeldSounds& sounds)
    : transmitter_(transmitter), sounds_(sounds) {
    // The sound window's playback would go on the air beside the held sound.
    transmitter_.stopPlayback();
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

void Transmitter::connectControls() {
    SoundForm& sound = *program_.frm_Oszi;
    SettingsForm& form = *program_.frm_Einstellungen;

    QObject::connect(sound.lbl_TX_mouse, &MouseEvents::clicked, &sound, [this] { lbl_TX_Click(); });
    form.cb_PIN_keys->setHandler([this](int& key) { cb_PIN_KeyPress(key); });
    form.cb_PIN_RX_keys->setHandler([this](int& key) { cb_PIN_RX_KeyPress(key); });
    QObject::connect(sound.sli_Lautst, &QAbstractSlider::actionTriggered, &sound,
                     [this](int action) { sli_Lautst_Action(action); });
}

} // namespace kestrova
