#include "base/files/FolderOwner.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

QString handToFolderOwner(const QString& file, const QString& folder) {
    struct stat folderStatus {};
    if (::geteuid() != 0 || ::stat(QFile::encodeName(folder).constData(), &folderStatus) != 0 ||
        folderStatus.st_uid == 0) {
        return {};
    }
    // Not through a link that someone planted in the file's place.
    if (::lchown(QFile::encodeName(file).constData(), folderStatus.st_uid, folderStatus.st_gid) == 0) {
        return {};
    }
    return QStringLiteral("Die Datei [%1] lässt sich nicht dem Besitzer ihres Ordners übergeben (%2); "
                          "bitte mit \"chown --reference=%3 %1\" nachholen.")
        .arg(QDir::toNativeSeparators(file), QString::fromLocal8Bit(std::strerror(errno)),
             QDir::toNativeSeparators(folder));
}

} // namespace kestrova
