#include "base/mqtt/MqttPublishing.h"

#include "base/alarm/Alarms.h"
#include "base/archive/Archive.h"
#include "base/common/ProgramIdentity.h"
#include "base/desktop/EventLog.h"
#include "base/mqtt/MqttPublisher.h"
#include "base/recorder/Recorder.h"
#include "base/relay/FiledRecordings.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/Transmitter.h"

#include <QTimer>
#include <algorithm>

namespace kestrova {

std::unique_ptr<MqttPublishing> MqttPublishing::startIfAsked(const MqttSources& sources) {
    const MqttSettings settings = readMqttSettings(mqttSettingsPath(sources.programFolder));
    for (const QString& problem : settings.problems) {
        sources.events.record(EventPriority::Warning, problem);
    }
    if (!settings.enabled()) {
        return nullptr;
    }
    return std::make_unique<MqttPublishing>(sources, settings);
}

MqttPublishing::MqttPublishing(const MqttSources& sources, const MqttSettings& settings) : sources_(sources) {
    publisher_ = std::make_unique<MqttPublisher>(settings, sources.programFolder, sources.events);
    subscribe();
    // Kestrova.ini is read after the links are made; the circuit is known once the loop runs.
    QTimer::singleShot(0, &subscriber_, [this, settings] {
        publisher_->start(settings.circuitFor(sources_.settings.circuitNumber));
        start();
    });
}

MqttPublishing::~MqttPublishing() = default;

void MqttPublishing::finish() {
    publisher_->finish();
}

void MqttPublishing::subscribe() {
    const auto changed = [this] { publishStatus(); };
    QObject::connect(&sources_.recorder, &Recorder::stateChanged, &subscriber_, changed);
    QObject::connect(&sources_.transmitter, &Transmitter::keyedChanged, &subscriber_, [this](bool keyed) {
        keyed_ = keyed;
        publishStatus();
    });
    QObject::connect(&sources_.recorder.meter(), &LevelMeterControl::inputNoteChanged, &subscriber_,
                     [this](const QString& note) {
                         inputDelivering_ = note.isEmpty();
                         publishStatus();
                     });
    QObject::connect(&sources_.archive, &Archive::deletionHoldChanged, &subscriber_,
                     [this](const QString& reason) {
                         deletionHold_ = reason;
                         publishStatus();
                     });
    QObject::connect(&sources_.recorder.meter(), &LevelMeterControl::levelChanged, &subscriber_,
                     [this](int level) { publisher_->setLevel(std::clamp(level, 0, 100)); });
    QObject::connect(&sources_.alarms, &Alarms::alarmChanged, &subscriber_, changed);
    QObject::connect(&sources_.filed, &FiledRecordings::recordingFiled, &subscriber_,
                     [this](const FiledRecording& recording) { publisher_->take(recording); });
}

void MqttPublishing::start() {
    deletionHold_ = sources_.archive.deletionHold();
    publishStatus();
}

void MqttPublishing::publishStatus() {
    const Recorder& recorder = sources_.recorder;
    publisher_->setStatus({.recorderOn = recorder.isSwitchedOn(),
                           .recording = recorder.isRecordingHeard(),
                           .keyed = keyed_,
                           .inputDelivering = inputDelivering_,
                           .deletionHold = deletionHold_,
                           .version = ProgramIdentity{}.versionText,
                           .webAddress = sources_.pageBase,
                           .circuit = {},
                           .alarms = sources_.alarms.activeKeys(),
                           .alarmTexts = sources_.alarms.activeTexts()});
}

} // namespace kestrova
