#include "base/files/StorageDiskSpace.h"

#include <QStorageInfo>

namespace kestrova {

std::optional<qint64> StorageDiskSpace::freeBytes(const QString& folder) const {
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady()) {
        return std::nullopt;
    }
    return storage.bytesAvailable();
}

} // namespace kestrova
