#include "base/integrity/FileHash.h"

#include "base/files/RegularFile.h"

#include <QCryptographicHash>
#include <QFile>

namespace kestrova {

std::optional<FileHash> hashFile(const QString& path, qsizetype headBytes) {
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return std::nullopt;
    }
    QByteArray head(headBytes, Qt::Uninitialized);
    const qint64 headRead = headBytes > 0 ? opened.file->read(head.data(), headBytes) : 0;
    if (headRead < 0) {
        return std::nullopt;
    }
    head.truncate(headRead);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(head);
    if (!hash.addData(opened.file.get())) {
        return std::nullopt;
    }
    return FileHash{opened.file->pos(), hash.result().toHex(), head};
}

} // namespace kestrova
