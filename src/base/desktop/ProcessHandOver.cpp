#include "base/desktop/ProcessHandOver.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace kestrova {

namespace {
// The folder of the running executable; argv[0] may be a bare name found on the PATH.
QString ownFolder(const char* argv0) {
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) {
        return QFileInfo(self.canonicalFilePath()).absolutePath();
    }
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}
} // namespace

QString handOverToSibling(const QString& name, char** argv) {
    const QString path = QDir(ownFolder(argv[0])).filePath(name);
#ifdef Q_OS_UNIX
    const QByteArray file = QFile::encodeName(path);
    ::execv(file.constData(), argv);
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
#else
    return path + QStringLiteral(": nur unter Linux");
#endif
}

} // namespace kestrova
