#include "base/archive/Archive.h"
#include "base/recorder/Recorder.h"
#include "base/web/WebSettings.h"
#include "gui/app/ProgramWebPage.h"
#include "gui/ui/MainForm.h"
#include "support/ProgramFixture.h"
#include "web/RawHttpClient.h"

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
    EXPECT_EQ(WebServing::startIfAsked(webPageSources(*program), {}, folder()), nullptr);
    // Said without an address too: the address may stand in the file that cannot be read.
    EXPECT_TRUE(program->startNotice.contains(QStringLiteral("Die Webseite startet nicht")));

    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    const std::unique_ptr<WebServing> web = WebServing::startIfAsked(
        webPageSources(*program), QStringLiteral("127.0.0.1:%1").arg(port), folder());
    EXPECT_NE(web, nullptr); // on loopback it needs no settings
    EXPECT_TRUE(program->startNotice.contains(QStringLiteral("keine gewöhnliche Datei")));
    // The log says where the page listens, for a service that has no window to show it.
    EXPECT_FALSE(
        fakes.events.containing(QStringLiteral("Webseite unter http://127.0.0.1:%1").arg(port)).isEmpty());
}

// The page hears of a change when it happens: no event loop runs between the
// recorder's or the list's change and the request.
TEST_F(WebServingTest, ThePageFollowsTheRecorderAndTheListAsTheyChange) {
    Program& p = startProgram();
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    const std::unique_ptr<WebServing> web =
        WebServing::startIfAsked(webPageSources(p), QStringLiteral("127.0.0.1:%1").arg(port), folder());
    ASSERT_NE(web, nullptr);
    const RawClient client(port);
    const bool wasOn = p.recorder().isSwitchedOn();
    if (wasOn) {
        p.recorder().switchOff();
    } else {
        p.recorder().switchOn();
    }
    const QByteArray on = wasOn ? "\"an\":false" : "\"an\":true";
    const QByteArray status = client.send("GET", "/api/status").body;
    EXPECT_TRUE(status.contains(on));
    // Which circuit this is, for the page's heading and title.
    EXPECT_TRUE(status.contains("\"kreis\":1") && status.contains("\"kreisname\":\"tolvo\""))
        << status.data();

    const QString name = QStringLiteral("1_12-08-2026_10-00-00.wav");
    p.archive().recordingList().append({name, 12});
    EXPECT_TRUE(client.send("GET", "/api/aufnahmen").body.contains(name.toUtf8()));
}

} // namespace
} // namespace kestrova::test
