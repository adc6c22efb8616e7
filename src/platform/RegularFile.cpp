#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {

QString notAFile() {
    return QStringLiteral("Das ist keine gewöhnliche Datei.");
}

bool isRegular(int descriptor) {
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

RegularFileOpen openRegularFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return {nullptr, QStringLiteral("Die Datei ist nicht vorhanden.")};
    }
    if (!info.isFile()) {
        return {nullptr, notAFile()};
    }
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return {nullptr, QStringLiteral("Die Datei kann nicht geöffnet werden.")};
    }
    // The name may have been swapped for something else since the look above.
    if (!isRegular(descriptor)) {
        ::close(descriptor);
        return {nullptr, notAFile()};
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {nullptr, QStringLiteral("Die Datei kann nicht gelesen werden.")};
    }
    return {std::move(file), {}};
}

} // namespace kestrova
