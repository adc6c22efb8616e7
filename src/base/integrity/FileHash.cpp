#include "base/integrity/FileHash.h"

#include "base/files/RegularFile.h"

#include <QCryptographicHash>
#include <QFile>

namespace kestrova {

std::optional<FileHash> hashFile(const QString& path) {
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(opened.file.get())) {
        return std::nullopt;
    }
    return FileHash{opened.file->pos(), hash.result().toHex()};
}

} // namespace kestrova
