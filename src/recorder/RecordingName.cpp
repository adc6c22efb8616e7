#include "recorder/RecordingName.h"

namespace kestrova {

QString recordingNameFor(long long circuitNumber, const QDateTime& start) {
    return QString::number(circuitNumber) + QLatin1Char('_') +
           start.toString(QStringLiteral("MM-dd-yyyy_HH-mm-ss")) + QStringLiteral(".wav");
}

} // namespace kestrova
