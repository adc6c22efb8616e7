#include "recorder/RecordingName.h"

namespace kestrova {

namespace {
QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

QString makeRecordingName(long long circuitNumber, const QDateTime& start) {
    const QDate date = start.date();
    const QTime time = start.time();
    return QString::number(circuitNumber) + QLatin1Char('_') + twoDigits(date.month()) + QLatin1Char('-') +
           twoDigits(date.day()) + QLatin1Char('-') +
           QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) + QLatin1Char('_') +
           twoDigits(time.hour()) + QLatin1Char('-') + twoDigits(time.minute()) + QLatin1Char('-') +
           twoDigits(time.second()) + QStringLiteral(".wav");
}

} // namespace kestrova
