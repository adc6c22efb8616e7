#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

class AudioInput;

// The names of the input devices that can record, in the order of their positions.
QStringList usableInputDevices(AudioInput& input);

// What the program says when no input device can record.
QString noInputDevicesMessage();

} // namespace kestrova
