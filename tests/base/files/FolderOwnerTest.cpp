#include "base/files/FolderOwner.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {
namespace {

// The administrator sets the web password of the system service: the file must
// end up the service user's, still for his eyes only.
TEST(FolderOwner, TheAdministratorsFileGoesToTheOwnerOfTheServicesFolder) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, as the administrator is";
    }
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    constexpr uid_t kService = 65534;
    ASSERT_EQ(::chown(folder.constData(), kService, kService), 0);
    const QString path = dir.filePath(QStringLiteral("KestrovaWeb.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    EXPECT_TRUE(handToFolderOwner(path, dir.path()).isEmpty());
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_uid, kService);
    EXPECT_EQ(status.st_gid, kService);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // A folder of root's own keeps root's files as they are.
    ASSERT_EQ(::chown(folder.constData(), 0, 0), 0);
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 0, 0), 0);
    EXPECT_TRUE(handToFolderOwner(path, dir.path()).isEmpty());
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_uid, 0u);
}

} // namespace
} // namespace kestrova
