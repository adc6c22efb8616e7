#pragma once

#include "base/desktop/EventLog.h"

#include <QStringList>

namespace kestrova::test {

// Keeps every event line in order.
class FakeEventLog final : public EventLog {
public:
    void record(EventPriority /*priority*/, const QString& line) override { lines.append(line); }
    QStringList containing(const QString& part) const { return lines.filter(part); }

    QStringList lines;
};

} // namespace kestrova::test
