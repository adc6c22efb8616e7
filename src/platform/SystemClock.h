#pragma once

#include "platform/Clock.h"

namespace kestrova {

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    void pause(int milliseconds) override;
};

} // namespace kestrova
