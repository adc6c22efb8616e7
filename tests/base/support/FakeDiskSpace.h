#pragma once

#include "base/files/DiskSpace.h"

namespace kestrova::test {

// A disk with the room the test sets; none set: the disk cannot be asked.
class FakeDiskSpace final : public DiskSpace {
public:
    std::optional<qint64> freeBytes(const QString& /*folder*/) const override { return free; }

    std::optional<qint64> free;
};

} // namespace kestrova::test
