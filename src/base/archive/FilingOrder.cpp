#include "base/archive/FilingOrder.h"

#include "base/archive/RecordingName.h"

#include <QDateTime>
#include <QFileInfo>

namespace kestrova {

namespace {

constexpr qint64 kYearInKey = 10'000'000'000; // YYYY before MMDDhhmmss
constexpr qint64 kDay = 24 * 60 * 60;

// The local clock's offset at a moment, as the recorder's clock reading had it.
int localOffsetAt(qint64 secondsSinceEpoch) {
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime).offsetFromUtc();
}

qint64 keyOfReading(qint64 secondsSinceEpoch, int offset) {
    return clockReadingKey(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch + offset, Qt::UTC));
}

qint64 startOfYear(int year) {
    return QDateTime(QDate(year, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
}

} // namespace

qint64 FilingOrder::sortKey(qint64 momentKey) {
    if (momentKey < 0) {
        return momentKey;
    }
    const int year = static_cast<int>(momentKey / kYearInKey);
    if (year != lastYear_) {
        lastYear_ = year;
        last_ = &stretchesOf(year);
    }
    for (const Stretch& stretch : *last_) {
        if (momentKey >= stretch.first && momentKey < stretch.end) {
            return stretch.first;
        }
    }
    return momentKey;
}

const std::vector<FilingOrder::Stretch>& FilingOrder::stretchesOf(int year) {
    const auto known = years_.find(year);
    if (known != years_.end()) {
        return known->second;
    }
    // The clock goes back where the offset falls: day by day through the year and
    // a little beyond it, then to the second where it fell.
    std::vector<Stretch> stretches;
    const qint64 last = startOfYear(year + 1) + kDay;
    int before = localOffsetAt(startOfYear(year) - kDay);
    for (qint64 day = startOfYear(year); day <= last; day += kDay) {
        const int after = localOffsetAt(day);
        if (after < before) {
            qint64 earlier = day - kDay;
            qint64 change = day; // the first second at the new offset
            while (change - earlier > 1) {
                const qint64 middle = earlier + (change - earlier) / 2;
                if (localOffsetAt(middle) == before) {
                    earlier = middle;
                } else {
                    change = middle;
                }
            }
            stretches.push_back({keyOfReading(change, after), keyOfReading(change, before)});
        }
        before = after;
    }
    return years_.emplace(year, std::move(stretches)).first->second;
}

qint64 FilingOrder::filedAt(const QString& path) {
    const QDateTime modified = QFileInfo(path).lastModified();
    return modified.isValid() ? modified.toMSecsSinceEpoch() : -1;
}

} // namespace kestrova
