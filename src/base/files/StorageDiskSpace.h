#pragma once

#include "base/files/DiskSpace.h"

namespace kestrova {

// The disk's free room as the file system reports it.
class StorageDiskSpace final : public DiskSpace {
public:
    std::optional<qint64> freeBytes(const QString& folder) const override;
};

} // namespace kestrova
