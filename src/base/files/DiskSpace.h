#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace kestrova {

// How much room the disk holding a folder has left for this program.
class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // Bytes an unprivileged writer may still use there; nullopt when the disk cannot be asked.
    virtual std::optional<qint64> freeBytes(const QString& folder) const = 0;
};

} // namespace kestrova
