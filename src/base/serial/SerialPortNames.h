#pragma once

#include <QString>

namespace kestrova {

// The device name of the serial port chosen in the settings. A number n is the
// port Windows calls COMn (on Linux /dev/ttyS followed by n - 1); a typed device
// path such as /dev/ttyUSB0 is used as it stands. "COM0" and an empty name mean
// that no port is used.
QString comPortNameFor(const QString& comText);
bool isNoPort(const QString& comPortName);

} // namespace kestrova
