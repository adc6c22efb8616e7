#include "base/web/WebSettings.h"

#include "base/common/LiveStatus.h"
#include "base/web/WebService.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Notes who could read the file when its first bytes went in.
class PermissionsAtFirstWrite final : public FileWriteCalls {
public:
    qint64 write(int descriptor, const char* data, qint64 size) const override {
        struct stat status {};
        if (mode < 0 && ::fstat(descriptor, &status) == 0) {
            mode = static_cast<int>(status.st_mode & 0777);
        }
        return FileWriteCalls::write(descriptor, data, size);
    }
    mutable int mode = -1;
};

TEST(WebSettingsFileTest, TheHashIsForItsOwnersEyesFromTheFirstByteOn) {
    QTemporaryDir folder;
    const QString path = webSettingsPath(folder.path());
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::WriteOnly));
    before.write("zertifikat=/etc/ssl/k.pem\n");
    before.close();
    const mode_t umaskBefore = ::umask(022);
    const PermissionsAtFirstWrite calls;
    const bool stored = storePasswordHash(path, QStringLiteral("hash"), calls);
    ::umask(umaskBefore);
    ASSERT_TRUE(stored);
    EXPECT_EQ(calls.mode, 0600);
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadUser | QFileDevice::WriteUser),
              0);
    EXPECT_EQ(readWebSettings(path).certificateFile, QStringLiteral("/etc/ssl/k.pem"));
}

TEST(WebSettingsFileTest, ACertificateIsReadThroughTheOwnersLinkButAFifoIsNotWaitedOn) {
    QTemporaryDir folder;
    const QString certificate = folder.filePath(QStringLiteral("zertifikat.pem"));
    const QString key = folder.filePath(QStringLiteral("schluessel.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=localhost"), QStringLiteral("-keyout"), key, QStringLiteral("-out"),
                   certificate});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        GTEST_SKIP() << "openssl cannot make a test certificate here";
    }
    // Certificate tools keep the current certificate as a link to the newest file.
    const QString linked = folder.filePath(QStringLiteral("aktuell.pem"));
    ASSERT_TRUE(QFile::link(certificate, linked));
    const QString fifo = folder.filePath(QStringLiteral("fifo.pem"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const WebAddress address{QHostAddress(QHostAddress::LocalHost), 0};
    LiveStatusBoard board;

    WebSettings settings;
    settings.certificateFile = linked;
    settings.keyFile = fifo;
    EXPECT_TRUE(WebService(board, {}).start(address, settings).contains(QStringLiteral("nicht lesen")));

    settings.keyFile = key;
    WebService service(board, {});
    EXPECT_EQ(service.start(address, settings), QString());
    EXPECT_TRUE(service.pageAddress().startsWith(QStringLiteral("https://")));
}

} // namespace
} // namespace kestrova
