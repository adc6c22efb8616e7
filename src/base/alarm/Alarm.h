#pragma once

#include <QMetaType>
#include <QString>
#include <array>

namespace kestrova {

// What can go wrong at a station nobody watches.
enum class AlarmKind {
    NoRecording,   // nothing filed for hours: a dead receiver, a cut cable
    InputDead,     // the input device does not deliver
    DiskFilling,   // the disk holds only a few more days at the recent rate
    DeletionsHeld, // old recordings are kept, so the disk fills
};

inline constexpr std::array kAlarmKinds{AlarmKind::NoRecording, AlarmKind::InputDead, AlarmKind::DiskFilling,
                                        AlarmKind::DeletionsHeld};

// One alarm as it is told: its short key for MQTT and the command, and its German text.
struct Alarm {
    AlarmKind kind = AlarmKind::NoRecording;
    QString key;
    QString text;
    bool operator==(const Alarm&) const = default;
};

} // namespace kestrova

Q_DECLARE_METATYPE(kestrova::Alarm)
