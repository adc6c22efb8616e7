#include "app/WebServing.h"

#include "support/ProgramFixture.h"
#include "web/WebSettings.h"

#include <QTcpServer>
#include <sys/stat.h>

namespace kestrova::test {
namespace {

quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

class WebServingTest : public ProgramFixture {};

TEST_F(WebServingTest, TheSettingsFileIsReadOnlyForThePageAndNeverWaitedOn) {
    const QString path = webSettingsPath(folder());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    makeProgram();
    EXPECT_EQ(WebServing::startIfAsked(*program, {}, folder()), nullptr);

    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    const std::unique_ptr<WebServing> web =
        WebServing::startIfAsked(*program, QStringLiteral("127.0.0.1:%1").arg(port), folder());
    EXPECT_NE(web, nullptr); // on loopback it needs no settings
    EXPECT_TRUE(program->startNotice.contains(QStringLiteral("keine gewöhnliche Datei")));
}

} // namespace
} // namespace kestrova::test
