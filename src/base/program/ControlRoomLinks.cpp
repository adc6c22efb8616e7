#include "base/program/ControlRoomLinks.h"

#include "base/archive/Archive.h"
#include "base/mqtt/MqttPublishing.h"

#include <utility>

namespace kestrova {

ControlRoomLinks::ControlRoomLinks(const ControlRoomSources& sources, const QString& pageBase)
    : sources_(sources), filed_(sources.settings, sources.manifests), pageBase_(pageBase),
      afterCommands_(readAfterCommandSettings(afterCommandSettingsPath(sources.programFolder)),
                     afterCommandQueuePath(sources.programFolder), sources.programFolder, sources.events,
                     sources.clock),
      alarms_({.recorder = sources.recorder,
               .archive = sources.archive,
               .settings = sources.settings,
               .events = sources.events,
               .clock = sources.clock,
               .disk = sources.disk,
               .programFolder = sources.programFolder},
              readAlarmSettings(alarmSettingsPath(sources.programFolder))) {
    filed_.setPageBase(pageBase);
    filed_.holdReports();
    filed_.follow(sources_.archive);
    QObject::connect(&filed_, &FiledRecordings::recordingFiled, &afterCommands_, &AfterCommands::take);
}

void ControlRoomLinks::start() {
    if (std::exchange(started_, true)) {
        return;
    }
    mqtt_ = MqttPublishing::startIfAsked({.recorder = sources_.recorder,
                                          .transmitter = sources_.transmitter,
                                          .archive = sources_.archive,
                                          .filed = filed_,
                                          .settings = sources_.settings,
                                          .events = sources_.events,
                                          .programFolder = sources_.programFolder,
                                          .pageBase = pageBase_,
                                          .alarms = alarms_});
    afterCommands_.start();
    alarms_.start();
    filed_.releaseReports();
}

ControlRoomLinks::~ControlRoomLinks() = default;

void ControlRoomLinks::finish() {
    // Never started (the program ended in its start): nothing is passed on, and
    // the recordings stay where the archive filed them.
    if (!started_) {
        return;
    }
    // What is filed now waits in the queue for the next start.
    afterCommands_.finish();
    filed_.finish();
    if (mqtt_) {
        mqtt_->finish();
    }
}

} // namespace kestrova
