#include "base/automation/ClockSeconds.h"

namespace kestrova {

QDateTime wholeSecond(const QDateTime& time) {
    return time.addMSecs(-time.time().msec());
}

std::optional<QDateTime> ClockSeconds::next(const QDateTime& now) {
    const QDateTime second = wholeSecond(now);
    if (last_.isValid()) {
        const qint64 ahead = last_.secsTo(second);
        if (ahead <= 0 && ahead >= -kStepBackSeconds) {
            return std::nullopt;
        }
        if (ahead < 0 || ahead > kCatchUpSeconds) {
            last_ = QDateTime();
        }
    }
    last_ = last_.isValid() ? last_.addSecs(1) : second;
    return last_;
}

} // namespace kestrova
