#include "base/archive/Archive.h"
#include "base/recorder/Recorder.h"
#include "base/web/WebSettings.h"
#include "gui/app/ProgramWebPage.h"
#include "gui/ui/MainForm.h"
#include "support/ProgramFixture.h"
#include "web/RawHttpClient.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
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

// The page hears the input where the meter and the capture get it; a recorder switched
// off ends the listener's stream rather than leaving it open in silence.
TEST_F(WebServingTest, ALiveListenerHearsTheInputUntilTheRecorderIsSwitchedOff) {
    Program& p = startProgram();
    if (!p.recorder().isSwitchedOn()) {
        p.recorder().switchOn();
    }
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    const std::unique_ptr<WebServing> web =
        WebServing::startIfAsked(webPageSources(p), QStringLiteral("127.0.0.1:%1").arg(port), folder());
    ASSERT_NE(web, nullptr);
    constexpr char kSample = '\xc8';
    const auto input = [this](std::size_t count) {
        fakes.audioInput.push(std::vector<std::uint8_t>(count, static_cast<std::uint8_t>(kSample)));
        fakes.inputHub.pump();
    };
    input(100); // the page learns the input's rate from it
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("GET /api/ton HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    ASSERT_TRUE(socket.waitForBytesWritten(5000));
    QByteArray seen;
    QElapsedTimer waited;
    waited.start();
    const auto readUntil = [&](const auto& done) {
        while (!done() && waited.elapsed() < 10000) {
            socket.waitForReadyRead(50);
            seen += socket.readAll();
        }
    };
    readUntil([&] { return seen.contains("\r\n\r\n"); });
    EXPECT_TRUE(seen.startsWith("HTTP/1.1 200")) << seen.data();
    input(3000);
    readUntil([&] { return seen.count(kSample) >= 3000; });
    EXPECT_EQ(seen.count(kSample), 3000);
    p.recorder().switchOff();
    readUntil([&] { return seen.endsWith("\r\n0\r\n\r\n"); });
    EXPECT_TRUE(seen.endsWith("\r\n0\r\n\r\n")) << "the stream did not end";
}

} // namespace
} // namespace kestrova::test
