#pragma once

#include "base/aftercommand/AfterCommands.h"
#include "base/alarm/Alarms.h"
#include "base/relay/FiledRecordings.h"

#include <QString>
#include <memory>

namespace kestrova {

class Archive;
class Clock;
class DiskSpace;
class EventLog;
class ManifestWriter;
class MqttPublishing;
class Recorder;
class Transmitter;
struct SettingsValues;

// What a running program tells the tools of a control room, and whom it tells.
struct ControlRoomSources {
    Recorder& recorder;
    Transmitter& transmitter;
    Archive& archive;
    // Reads each kept recording for its entry; the facts passed on come from it.
    ManifestWriter& manifests;
    const SettingsValues& settings;
    EventLog& events;
    const Clock& clock;
    // The room left where the recordings are kept, for its alarm.
    const DiskSpace& disk;
    QString programFolder;
};

// The links of a running program to the world beyond its page: each filed recording
// passed on as its own settings files ask, the program's state published, and the
// alarms of a station gone quiet. Each program makes one after its web page, whose
// address the links give out, and starts it once its settings are read; what is
// filed before waits for the start.
class ControlRoomLinks {
public:
    ControlRoomLinks(const ControlRoomSources& sources, const QString& pageBase);
    ~ControlRoomLinks();
    ControlRoomLinks(const ControlRoomLinks&) = delete;
    ControlRoomLinks& operator=(const ControlRoomLinks&) = delete;

    // Connects to the broker, takes up the queued commands and passes on what was
    // filed so far.
    void start();
    // Takes over what the program filed last, before its end: called once the
    // running recording is saved.
    void finish();

    const FiledRecordings& filedRecordings() const { return filed_; }
    const Alarms& alarms() const { return alarms_; }

private:
    ControlRoomSources sources_;
    FiledRecordings filed_;
    QString pageBase_;
    std::unique_ptr<MqttPublishing> mqtt_;
    AfterCommands afterCommands_;
    Alarms alarms_;
    bool started_ = false;
};

} // namespace kestrova
