#include "base/program/ServiceProgram.h"

#include "base/archive/RecordingFolders.h"
#include "base/desktop/Dialogs.h"
#include "base/program/InputDevices.h"

#include <QDir>
#include <algorithm>

namespace kestrova {

ServiceProgram::ServiceProgram(const Platform& platform, const QString& programFolder)
    : circuit_(platform, programFolder), notices_(platform.serviceManager, circuit_.recorder()) {
    connectSubsystems();
}

ServiceProgram::~ServiceProgram() = default;

// Of what the circuit tells those above it, a program without windows follows the
// start; it has no list or sound window to show anything.
void ServiceProgram::connectSubsystems() {
    // The list pass begins by completing the start, where the windows' "Speichern" would.
    connect(&archive(), &Archive::startDue, this, &ServiceProgram::completeStart);
    // What the windows show in the status bar, a service says in its log.
    connect(&recorder().capture(), &CaptureControl::captureTrouble, this, [this](const QString& text) {
        if (!text.isEmpty()) {
            platform().events.record(EventPriority::Warning, text);
        }
    });
}

bool ServiceProgram::mayGoOn() const {
    return !ended_ && !(endRequested && endRequested());
}

bool ServiceProgram::takeFolder() {
    if (!circuit_.takeFolder()) {
        ended_ = true;
        return false;
    }
    return true;
}

bool ServiceProgram::start() {
    circuit_.prepareStart();
    circuit_.timedActions().startTicking();
    recorder().resetState();
    ensureRecordingsFolder(programFolder());
    if (!takeChosenInputDevice()) {
        return false;
    }
    readSettings();
    chooseFirstInputDevice();
    if (mayGoOn()) {
        const QString filed = circuit_.fileWhatACrashLeft();
        if (!filed.isEmpty()) {
            platform().events.record(EventPriority::Notice, filed);
        }
    }
    return true;
}
bool ServiceProgram::takeChosenInputDevice() {
    const QString chosen = chosenInputDevice(programFolder());
    if (chosen.isEmpty()) {
        return true;
    }
    const QStringList usable = usableInputDevices(platform().audioInput);
    inputDevice_ = inputDevicePosition(usable, chosen);
    if (inputDevice_ >= 0) {
        return true;
    }
    // Recording another circuit's input under this circuit's name would be worse than
    // none: the service ends, and systemd starts it again until the device is there.
    const QString why =
        QStringLiteral("Das Eingabegerät „%1“ ist nicht vorhanden; es gibt: %2. Kestrova "
                       "endet.")
            .arg(chosen, usable.isEmpty() ? QStringLiteral("keines")
                                          : QStringLiteral("„") + usable.join(QStringLiteral("“, „")) +
                                                QStringLiteral("“"));
    platform().events.record(EventPriority::Error, why);
    notices_.startFailed(why);
    ended_ = true;
    return false;
}

void ServiceProgram::readSettings() {
    settings().readSettings();
    // Without a desktop nobody could switch the recorder on.
    settings().change([](SettingsValues& values) { values.autoStart = 1; });
    applySettings();
    // A message of the reading may have come with the end.
    if (ended_) {
        return;
    }
    transmitter().openControlPort();
    archive().refreshRecordingList();
    // Opened again only if it opened: a port that failed is reported once.
    if (transmitter().hasControlPort()) {
        transmitter().openControlPort();
    }
}

// What the windows' device boxes and rate list hold, the service takes from its
// settings; the circuit applied the rest of the values as they were read.
void ServiceProgram::applySettings() {
    // The windows switch the recorder on before their device box is filled: the
    // system's default input, which also comes when a sound server starts late;
    // a device chosen in the service's settings is taken from the start.
    recorder().meter().setInputDevice(inputDevice_);
    // A choice of the list, so its number is the line as written.
    recorder().capture().setRateText(QString::number(circuit_.values().meterSampleRate));
    transmitter().setOutputDevice(-1);
    transmitter().applyOutputVolume();
}
// As the windows fill their device box once the recorder is on: the first usable
// device from the next switch-on, or a message that there is none.
void ServiceProgram::chooseFirstInputDevice() {
    if (usableInputDevices(platform().audioInput).isEmpty()) {
        platform().dialogs.message(noInputDevicesMessage(), QStringLiteral(" INFO"), MessageButtons::Ok,
                                   MessageIcon::None);
        return;
    }
    recorder().meter().setInputDevice(std::max(inputDevice_, 0));
    transmitter().setOutputDevice(0);
}

void ServiceProgram::completeStart() {
    // Once the end has come, or is on its way, nothing is switched on.
    if (!mayGoOn()) {
        return;
    }
    if (circuit_.values().autoStart == 1 && !recorder().isSwitchedOn()) {
        recorder().switchOn();
    }
}

void ServiceProgram::shutDown() {
    if (!ended_) {
        notices_.stopping();
        circuit_.stop();
        endProgram();
    }
}

void ServiceProgram::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // Nothing may tick once the program has ended.
    circuit_.stopTimers();
    emit ended();
}

} // namespace kestrova
