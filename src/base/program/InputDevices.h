#pragma once

#include "base/settings/NamedSetting.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

class AudioInput;

// The names of the input devices that can record, in the order of their positions.
QStringList usableInputDevices(AudioInput& input);

// The service's own settings file of named lines (KestrovaDienst.ini), whose line
// "eingang" names the input device a service records from: several services on one
// machine each take their own. Empty for the system's default input.
QString serviceSettingsPath(const QString& programFolder);
// The file's lines as the command line sets them ("dienst.eingang").
std::vector<NamedSetting> serviceSettingLines();
QString chosenInputDevice(const QString& programFolder);
// The position of the first usable device whose name holds the chosen name, in any
// case; -1 when none does.
int inputDevicePosition(const QStringList& usable, const QString& chosen);

// What the program says when no input device can record.
QString noInputDevicesMessage();

} // namespace kestrova
