#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kestrova {

struct FileHash {
    qint64 length = 0;
    QByteArray hash; // hex SHA-256
};

// Reads the whole file; nullopt when it is not a plain file or cannot be read.
std::optional<FileHash> hashFile(const QString& path);

} // namespace kestrova
