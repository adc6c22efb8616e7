#pragma once

#include <QDateTime>
#include <QString>

namespace kestrova {

// F_MM-DD-YYYY_hh-mm-ss.wav: the radio circuit and the moment the capture started.
QString recordingNameFor(long long circuitNumber, const QDateTime& start);

} // namespace kestrova
