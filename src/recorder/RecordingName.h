#pragma once

#include <QDateTime>
#include <QString>

namespace kestrova {

// "F_MM-DD-YYYY_hh-mm-ss.wav": the radio circuit as decimal text, then the start
// time with leading zeros, month before day. The list and the dated archive read
// the fields at fixed positions, which hold only for a one-digit circuit.
QString makeRecordingName(long long circuitNumber, const QDateTime& start);

} // namespace kestrova
