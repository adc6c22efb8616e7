#include "web/WebSettings.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kestrova {
namespace {

TEST(WebSettingsFileTest, AFifoInTheFilesPlaceIsNeitherWaitedOnNorReplaced) {
    QTemporaryDir folder;
    const QString path = webSettingsPath(folder.path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const WebSettings settings = readWebSettings(path);
    EXPECT_TRUE(settings.readError.contains(QStringLiteral("keine gewöhnliche Datei")));
    EXPECT_TRUE(settings.passwordHash.isEmpty());
    EXPECT_FALSE(storePasswordHash(path, QStringLiteral("hash")));
    EXPECT_FALSE(QFileInfo(path).isFile());
    // A file that is not there is no trouble.
    EXPECT_TRUE(readWebSettings(folder.filePath(QStringLiteral("fehlt.ini"))).readError.isEmpty());
}

} // namespace
} // namespace kestrova
