#include "base/program/ControlRoomLinks.h"

#include "base/archive/Archive.h"
#include "base/mqtt/MqttPublishing.h"

namespace kestrova {

ControlRoomLinks::ControlRoomLinks(const ControlRoomSources& sources, const QString& pageBase)
    : sources_(sources), filed_(sources.settings),
      afterCommands_(readAfterCommandSettings(afterCommandSettingsPath(sources.programFolder)),
                     afterCommandQueuePath(sources.programFolder), sources.programFolder, sources.events) {
    filed_.setPageBase(pageBase);
    filed_.follow(sources_.archive);
    mqtt_ = MqttPublishing::startIfAsked({.recorder = sources_.recorder,
                                          .transmitter = sources_.transmitter,
                                          .archive = sources_.archive,
                                          .filed = filed_,
                                          .settings = sources_.settings,
                                          .events = sources_.events,
                                          .programFolder = sources_.programFolder,
                                          .pageBase = pageBase});
    QObject::connect(&filed_, &FiledRecordings::recordingFiled, &afterCommands_, &AfterCommands::take);
    afterCommands_.start();
}

ControlRoomLinks::~ControlRoomLinks() = default;

void ControlRoomLinks::finish() {
    // What is filed now waits in the queue for the next start.
    afterCommands_.finish();
    filed_.finish();
    if (mqtt_) {
        mqtt_->finish();
    }
}

} // namespace kestrova
