#include "base/alarm/FilingRate.h"

#include "base/archive/RecordingName.h"

#include <algorithm>

namespace kestrova {

namespace {

constexpr int kWeekDays = 7;
constexpr double kSecondsADay = 24.0 * 60 * 60;
// The header the capture writes before the samples.
constexpr double kHeaderBytes = 44;

} // namespace

std::optional<double> bytesFiledPerDay(const ListedRecordings& list, const QDateTime& now,
                                       int samplesPerSecond, int copies) {
    const qint64 from = clockReadingKey(now.addDays(-kWeekDays));
    const qint64 to = clockReadingKey(now);
    double bytes = 0;
    std::optional<qint64> first;
    QString firstName;
    for (std::size_t index = 0; index < list.size(); ++index) {
        const QString name = list.nameAt(index);
        const std::optional<qint64> moment = recordingMomentKey(name);
        if (!moment || *moment < from || *moment > to) {
            continue;
        }
        if (!first || *moment < *first) {
            first = moment;
            firstName = name;
        }
        bytes += (list.secondsAt(index) * std::max(samplesPerSecond, 0) + kHeaderBytes) * copies;
    }
    if (!first || bytes <= 0) {
        return std::nullopt;
    }
    // Names hold clock readings without a zone; so is now read here.
    const QDateTime reading(now.date(), now.time(), Qt::UTC);
    const QDateTime since = recordingMoment(firstName).value_or(reading);
    // A station that began this week counts its own days; a single morning is a day.
    const double days = std::clamp(static_cast<double>(since.secsTo(reading)) / kSecondsADay, 1.0,
                                   static_cast<double>(kWeekDays));
    return bytes / days;
}

} // namespace kestrova
