#pragma once

#include "base/desktop/Clock.h"

#include <vector>

namespace kestrova::test {

// A clock the test sets; pauses move it on and are recorded.
class FakeClock final : public Clock {
public:
    QDateTime now() const override { return now_; }
    void pause(int milliseconds) override {
        pauses.push_back(milliseconds);
        now_ = now_.addMSecs(milliseconds);
    }
    void set(const QDateTime& time) { now_ = time; }
    void advance(qint64 milliseconds) { now_ = now_.addMSecs(milliseconds); }

    std::vector<int> pauses;

private:
    QDateTime now_{QDate(2012, 8, 17), QTime(14, 30, 12)};
};

} // namespace kestrova::test
