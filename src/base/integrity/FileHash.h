#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kestrova {

struct FileHash {
    qint64 length = 0;
    QByteArray hash; // hex SHA-256
    // The file's first bytes, as many as were asked for: what a caller needs of the
    // header comes with the one read of the file.
    QByteArray head;
};

// Reads the whole file; nullopt when it is not a plain file or cannot be read.
std::optional<FileHash> hashFile(const QString& path, qsizetype headBytes = 0);

} // namespace kestrova
