#pragma once

#include "base/desktop/Clock.h"

#include <vector>

namespace kestrova::test {

// A clock the test sets; pauses move it on and are recorded. set() steps the
// wall clock alone, as the system's clock is set; advance() and pauses move both.
class FakeClock final : public Clock {
public:
    QDateTime now() const override { return now_; }
    void pause(int milliseconds) override {
        pauses.push_back(milliseconds);
        advance(milliseconds);
    }
    qint64 steadyMsecs() const override { return steady_; }
    std::optional<bool> isSynchronised() const override { return synchronised; }
    void set(const QDateTime& time) { now_ = time; }
    void advance(qint64 milliseconds) {
        now_ = now_.addMSecs(milliseconds);
        steady_ += milliseconds;
    }

    std::vector<int> pauses;
    std::optional<bool> synchronised;

private:
    QDateTime now_{QDate(2012, 8, 17), QTime(14, 30, 12)};
    qint64 steady_ = 1'000'000;
};

} // namespace kestrova::test
