#include "base/automation/ClockSeconds.h"

namespace kestrova {

QDateTime wholeSecond(const QDateTime& time) {
    return time.addMSecs(-time.time().msec());
}

ClockSeconds::ClockSeconds(QTime dailySecond) : dailySecond_(dailySecond) {}

std::optional<QDateTime> ClockSeconds::next(const QDateTime& now) {
    const QDateTime second = wholeSecond(now);
    if (!last_.isValid()) {
        last_ = second;
        return last_;
    }
    const qint64 ahead = last_.secsTo(second);
    if (ahead > kCatchUpSeconds) {
        const QDateTime passed = dailySecondBefore(second);
        // The second read now follows at the next call.
        last_ = passed.isValid() ? second.addSecs(-1) : second;
        return passed.isValid() ? passed : second;
    }
    if (ahead < -kStepBackSeconds) {
        last_ = second;
        return last_;
    }
    if (ahead <= 0) {
        return std::nullopt;
    }
    last_ = last_.addSecs(1);
    return last_;
}

QDateTime ClockSeconds::dailySecondBefore(const QDateTime& second) const {
    QDateTime daily = second;
    daily.setTime(dailySecond_);
    if (daily >= second) {
        daily = daily.addDays(-1);
    }
    return daily > last_ ? daily : QDateTime();
}

} // namespace kestrova
