#include "base/web/WebServer.h"

#include "RawHttpClient.h"
#include "archive/RecordingFiles.h"
#include "base/common/LiveStatus.h"
#include "base/web/ByteRange.h"
#include "base/web/LiveSound.h"
#include "base/web/PasswordHash.h"
#include "base/web/WebService.h"
#include "base/web/WebSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

using test::RawClient;
using test::recordingOfSeconds;
using test::writeBytes;
using Reply = test::RawReply;

constexpr const char* kPassword = "richtig-geheim";
const QString kListed = QStringLiteral("1_08-17-2012_14-30-12.wav");
const QString kNewer = QStringLiteral("1_08-17-2012_15-00-00.wav");

class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        doc_ = folder_.filePath(QStringLiteral("doku"));
        ASSERT_TRUE(QDir().mkpath(doc_ + QStringLiteral("/W")));
        ASSERT_TRUE(QDir().mkpath(doc_ + QStringLiteral("/Fk_1/Ja_2012/Mo-08/Tg-17/hh-14")));
        ASSERT_TRUE(writeBytes(doc_ + QStringLiteral("/W/") + kListed, recordingOfSeconds(25)));
        ASSERT_TRUE(writeBytes(doc_ + QStringLiteral("/Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/") + kListed,
                               recordingOfSeconds(25)));
        ASSERT_TRUE(writeBytes(folder_.filePath(QStringLiteral("Kestrova.ini")), "geheim\n"));
        ASSERT_TRUE(writeBytes(folder_.filePath(QStringLiteral("draussen.wav")), recordingOfSeconds(1)));
        LiveStatus status;
        status.docFolder = doc_;
        status.recordings = {{kListed, 25.0}};
        status.listRevision = 1;
        board_.publish(status);
    }

    // The server on threads of its own, as the program runs it; the client here waits.
    RawClient start(const QString& passwordHash = {}, const HttpLimits& limits = {}) {
        server_ = std::make_unique<WebServer>(
            library_, board_, sound_, passwordHash,
            [this](const QString& path) {
                listingEntered_ = true;
                QElapsedTimer held;
                held.start();
                while (listingHeld_ && held.elapsed() < 20000) {
                    QThread::msleep(5);
                }
                return QFileInfo(path).fileName().left(3);
            },
            [this] { return now_.load(); }, limits);
        EXPECT_TRUE(server_->start(QHostAddress::LocalHost, 0));
        return RawClient(server_->port());
    }

    static Reply get(const RawClient& client, const QByteArray& target, const QByteArray& headers = {}) {
        return client.send("GET", target, headers);
    }
    static Reply login(const RawClient& client, const QByteArray& password) {
        return client.send("POST", "/api/anmelden", {}, R"({"passwort":")" + password + "\"}");
    }

    QTemporaryDir folder_;
    QString doc_;
    LiveStatusBoard board_;
    LiveSound sound_{HttpLimits{}.liveListeners};
    std::atomic<qint64> now_{1000};
    std::atomic<bool> listingHeld_{false}; // the hash lookup, and so a listing, waits while set
    std::atomic<bool> listingEntered_{false};
    const Microhttpd library_;
    std::unique_ptr<WebServer> server_;
};

TEST_F(WebServerTest, ServesThePageTheListAndTheArchive) {
    // A link planted in the archive is not the program's recording.
    ASSERT_TRUE(
        QFile::link(folder_.filePath(QStringLiteral("draussen.wav")),
                    doc_ + QStringLiteral("/Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/1_08-17-2012_14-59-59.wav")));
    const RawClient client = start();
    const Reply page = get(client, "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("Aufnahmen"));
    EXPECT_EQ(get(client, "/kestrova.js").status, 200);

    const QJsonArray listed = QJsonDocument::fromJson(get(client, "/api/aufnahmen").body).array();
    ASSERT_EQ(listed.size(), 1);
    const QJsonObject recording = listed.at(0).toObject();
    EXPECT_EQ(recording.value("datum").toString(), QStringLiteral("17.08.2012"));
    EXPECT_EQ(recording.value("zeit").toString(), QStringLiteral("14:30:12"));
    EXPECT_EQ(recording.value("sekunden").toDouble(), 25.0);
    EXPECT_EQ(recording.value("pfad").toString(), QStringLiteral("W/") + kListed);
    EXPECT_EQ(recording.value("hash").toString(), QStringLiteral("1_0")); // from the lookup given

    const QJsonArray days = QJsonDocument::fromJson(get(client, "/api/archiv").body).array();
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days.at(0).toObject().value("datum").toString(), QStringLiteral("17.08.2012"));
    const QJsonArray day =
        QJsonDocument::fromJson(get(client, "/api/archiv/tag?pfad=Fk_1/Ja_2012/Mo-08/Tg-17").body).array();
    ASSERT_EQ(day.size(), 1);
    EXPECT_EQ(day.at(0).toObject().value("sekunden").toDouble(), 25.0);
    EXPECT_EQ(get(client, "/api/archiv/tag?pfad=Fk_1/..").status, 404);
    EXPECT_EQ(get(client, "/irgendwas").status, 404);
    // Without a password, only this machine's own names.
    EXPECT_EQ(get(client, "/", "Host: localhost:8080\r\n").status, 200);
    EXPECT_EQ(get(client, "/", "Host: 127.0.0.2:8080\r\n").status, 200);
    EXPECT_EQ(get(client, "/api/aufnahmen", "Host: fremd.example:8080\r\n").status, 403);
}

TEST_F(WebServerTest, SendsRecordingsWholeAndInRanges) {
    const QByteArray bytes = recordingOfSeconds(60); // bigger than several chunks
    ASSERT_TRUE(writeBytes(doc_ + QStringLiteral("/W/") + kNewer, bytes));
    const RawClient client = start();
    const Reply whole = get(client, "/datei?pfad=W/" + kNewer.toUtf8() + "&herunterladen=1");
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.body, bytes);
    EXPECT_TRUE(whole.headers.value("content-disposition").startsWith("attachment"));
    EXPECT_EQ(whole.headers.value("content-type"), "audio/wav");

    const Reply part = get(client, "/datei?pfad=W/" + kNewer.toUtf8(), "Range: bytes=100-199\r\n");
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.body, bytes.mid(100, 100));
    EXPECT_EQ(part.headers.value("content-range"), "bytes 100-199/" + QByteArray::number(bytes.size()));
    EXPECT_EQ(get(client, "/datei?pfad=W/" + kNewer.toUtf8(), "Range: bytes=99999999-\r\n").status, 416);
    EXPECT_EQ(get(client, "/datei?pfad=Fk_1/Ja_2012/Mo-08/Tg-17/hh-14/" + kListed.toUtf8()).status, 200);
}

TEST_F(WebServerTest, RefusesEveryPathOutsideTheRecordings) {
    ASSERT_TRUE(QFile::link(folder_.filePath(QStringLiteral("draussen.wav")),
                            doc_ + QStringLiteral("/W/1_01-01-2012_00-00-00.wav")));
    ASSERT_TRUE(writeBytes(doc_ + QStringLiteral("/W/w.dat"), "liste"));
    const RawClient client = start();
    const QList<QByteArray> refused{
        "/datei?pfad=W/../../Kestrova.ini",
        "/datei?pfad=W/%2e%2e/%2e%2e/draussen.wav",
        "/datei?pfad=W%2F..%2F..%2Fdraussen.wav",
        "/datei?pfad=" + QUrl::toPercentEncoding(folder_.filePath(QStringLiteral("draussen.wav"))),
        "/datei?pfad=W/1_01-01-2012_00-00-00.wav", // a link out of W
        "/datei?pfad=W/w.dat",
        "/datei?pfad=Kestrova.ini",
        "/datei?pfad=KestrovaWeb.ini",
        "/datei?pfad=..%2FKestrova.ini",
        "/datei?pfad=W\\..\\..\\Kestrova.ini",
        "/datei",
        "/../Kestrova.ini",
        "/%2e%2e/Kestrova.ini",
    };
    for (const QByteArray& target : refused) {
        const Reply reply = get(client, target);
        EXPECT_EQ(reply.status, 404) << target.toStdString();
        EXPECT_FALSE(reply.body.contains("geheim")) << target.toStdString();
    }
    const Reply write = client.send("POST", "/datei?pfad=W/" + kListed.toUtf8(), {}, "{}");
    EXPECT_EQ(write.status, 405);
}

TEST_F(WebServerTest, WithAPasswordOnlyALoginOpensTheRecordings) {
    const RawClient client = start(hashPassword(QString::fromLatin1(kPassword), kLeastPasswordRounds));
    EXPECT_EQ(get(client, "/").status, 200); // the login form itself
    EXPECT_EQ(get(client, "/api/aufnahmen").status, 401);
    EXPECT_EQ(get(client, "/datei?pfad=W/" + kListed.toUtf8()).status, 401);
    EXPECT_EQ(get(client, "/api/aufnahmen", "Cookie: kestrova_sitzung=erfunden\r\n").status, 401);
    EXPECT_EQ(client.send("GET", "/api/anmelden").status, 405);

    const Reply accepted = login(client, kPassword);
    ASSERT_EQ(accepted.status, 200);
    const QByteArray cookie = accepted.headers.value("set-cookie");
    EXPECT_TRUE(cookie.contains("HttpOnly"));
    EXPECT_TRUE(cookie.contains("SameSite=Strict"));
    const QByteArray session = "Cookie: " + cookie.split(';').first() + "\r\n";
    EXPECT_EQ(get(client, "/api/aufnahmen", session).status, 200);
    EXPECT_EQ(client.send("POST", "/api/abmelden", session).status, 200);
    EXPECT_EQ(get(client, "/api/aufnahmen", session).status, 401);
}

TEST_F(WebServerTest, WrongPasswordsMakeTheAddressWait) {
    const RawClient client = start(hashPassword(QString::fromLatin1(kPassword), kLeastPasswordRounds));
    EXPECT_EQ(login(client, "falsch").status, 401);
    EXPECT_EQ(login(client, "falsch").status, 401);
    const Reply third = login(client, "falsch");
    EXPECT_EQ(third.status, 429);
    EXPECT_TRUE(third.body.contains("Zu viele Versuche"));
    // Not even the right password is heard while the address waits ...
    EXPECT_EQ(login(client, kPassword).status, 429);
    // ... and each further miss makes the wait longer.
    now_ += 2000;
    EXPECT_EQ(login(client, "falsch").status, 429);
    now_ += 3000;
    EXPECT_EQ(login(client, kPassword).status, 429);
    now_ += 2000;
    EXPECT_EQ(login(client, kPassword).status, 200);
}

TEST_F(WebServerTest, ALongListingHoldsUpNeitherTheStatusNorALogin) {
    const RawClient client = start(hashPassword(QString::fromLatin1(kPassword), kLeastPasswordRounds));
    const QByteArray session =
        "Cookie: " + login(client, kPassword).headers.value("set-cookie").split(';').first() + "\r\n";
    listingHeld_ = true;
    QTcpSocket listing;
    listing.connectToHost(QStringLiteral("127.0.0.1"), client.port());
    ASSERT_TRUE(listing.waitForConnected(5000));
    listing.write("GET /api/archiv/tag?pfad=Fk_1/Ja_2012/Mo-08/Tg-17 HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                  session + "\r\n");
    ASSERT_TRUE(listing.waitForBytesWritten(5000));
    QElapsedTimer waited;
    waited.start();
    while (!listingEntered_ && waited.elapsed() < 5000) {
        QThread::msleep(5);
    }
    EXPECT_EQ(get(client, "/api/status", session).status, 200);
    EXPECT_EQ(login(client, kPassword).status, 200);
    listingHeld_ = false;
    const Reply listed = RawClient::readReply(listing);
    EXPECT_EQ(listed.status, 200);
    EXPECT_EQ(QJsonDocument::fromJson(listed.body).array().size(), 1);
}

TEST_F(WebServerTest, OnlyThePagesOwnFormCanLogInAndOthersDoNotCountAsMisses) {
    const RawClient client = start(hashPassword(QString::fromLatin1(kPassword), kLeastPasswordRounds));
    const QByteArray guess = R"({"passwort":"falsch"})";
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(client.send("POST", "/api/anmelden", "Origin: http://evil.example\r\n", guess).status, 403);
        EXPECT_EQ(client.send("POST", "/api/anmelden", "Content-Type: text/plain\r\n", guess).status, 415);
        EXPECT_EQ(client.send("POST", "/api/anmelden", {}, "passwort=falsch").status, 400);
    }
    const Reply accepted = client.send("POST", "/api/anmelden", "Origin: http://127.0.0.1:8080\r\n",
                                       R"({"passwort":"richtig-geheim"})");
    EXPECT_EQ(accepted.status, 200);
}

TEST_F(WebServerTest, LiveEventsFollowTheRecorder) {
    const RawClient client = start();
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), client.port());
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("GET /api/live HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    const auto readUntil = [&socket](const QByteArray& wanted) {
        QByteArray seen;
        QElapsedTimer waited;
        waited.start();
        while (!seen.contains(wanted) && waited.elapsed() < 5000) {
            socket.waitForReadyRead(100);
            seen += socket.readAll();
        }
        return seen;
    };
    const QByteArray first = readUntil("event: status");
    EXPECT_TRUE(first.contains("text/event-stream"));
    EXPECT_TRUE(first.contains("\"aufnahme\":false"));

    LiveStatus status = board_.read();
    status.recorderOn = true;
    status.recording = true;
    status.level = 73;
    status.alarms = QStringList{QStringLiteral("Eingang liefert nichts")};
    status.listRevision = 2;
    board_.publish(status);
    const QByteArray next = readUntil("event: liste");
    EXPECT_TRUE(next.contains("\"aufnahme\":true"));
    EXPECT_TRUE(next.contains("\"pegel\":73"));
    EXPECT_TRUE(next.contains("\"alarme\":[\"Eingang liefert nichts\"]"));
}

TEST_F(WebServerTest, TheLiveSoundIsBehindTheLoginAndStreamsTheInputAsItComes) {
    const RawClient client = start(hashPassword(QString::fromLatin1(kPassword), kLeastPasswordRounds));
    EXPECT_EQ(get(client, "/api/ton").status, 401);
    const QByteArray session =
        "Cookie: " + login(client, kPassword).headers.value("set-cookie").split(';').first() + "\r\n";
    const Reply deaf = get(client, "/api/ton", session);
    EXPECT_EQ(deaf.status, 503);
    EXPECT_TRUE(deaf.body.contains("Eingang")) << deaf.body.data();

    constexpr char kSample = '\xc8'; // found in no header
    const std::vector<std::uint8_t> block(2205, static_cast<std::uint8_t>(kSample));
    sound_.feed(block, 11025);
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), client.port());
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("GET /api/ton HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n" + session + "\r\n");
    ASSERT_TRUE(socket.waitForBytesWritten(5000));
    QElapsedTimer waited;
    waited.start();
    while (sound_.listeners() == 0 && waited.elapsed() < 5000) {
        QThread::msleep(5);
    }
    QByteArray seen;
    for (int blocks = 1; blocks <= 2; ++blocks) { // the second after the connection rested
        sound_.feed(block, 11025);
        while (seen.count(kSample) < blocks * 2205 && waited.elapsed() < 10000) {
            socket.waitForReadyRead(50);
            seen += socket.readAll();
        }
    }
    EXPECT_TRUE(seen.contains("Content-Type: audio/L8;rate=11025;channels=1")) << seen.left(400).data();
    EXPECT_TRUE(seen.contains("Cache-Control: no-store"));
    EXPECT_TRUE(seen.contains("Transfer-Encoding: chunked"));
    EXPECT_GE(seen.count(kSample), 2 * 2205);
}

TEST(WebSettingsTest, NonLoopbackAddressesNeedAPasswordAndTheHashIsSlowAndSalted) {
    const WebAddress anyAddress = *parseWebAddress(QStringLiteral("0.0.0.0:8080"));
    EXPECT_FALSE(anyAddress.isLoopback());
    EXPECT_TRUE(parseWebAddress(QStringLiteral("[::1]:8080"))->isLoopback());
    EXPECT_FALSE(parseWebAddress(QStringLiteral("127.0.0.1")));
    EXPECT_FALSE(parseWebAddress(QStringLiteral("127.0.0.1:99999")));
    EXPECT_TRUE(webStartRefusal(anyAddress, {}).contains(QStringLiteral("Passwort")));
    EXPECT_TRUE(webStartRefusal(*parseWebAddress(QStringLiteral("127.0.0.1:8080")), {}).isEmpty());

    LiveStatusBoard board;
    WebService service(board, {});
    EXPECT_FALSE(service.start(anyAddress, {}).isEmpty());

    QTemporaryDir folder;
    const QString path = webSettingsPath(folder.path());
    ASSERT_TRUE(writeBytes(path, "adresse=0.0.0.0:8080\n"));
    const QString hash = hashPassword(QStringLiteral("ein Passwort"), kLeastPasswordRounds);
    ASSERT_TRUE(storePasswordHash(path, hash));
    const WebSettings settings = readWebSettings(path);
    EXPECT_EQ(settings.address, QStringLiteral("0.0.0.0:8080"));
    EXPECT_EQ(settings.passwordHash, hash);
    EXPECT_TRUE(webStartRefusal(anyAddress, settings).isEmpty());
    QFile stored(path);
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_FALSE(stored.readAll().contains("ein Passwort"));
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);

    EXPECT_TRUE(passwordMatches(QStringLiteral("ein Passwort"), hash));
    EXPECT_FALSE(passwordMatches(QStringLiteral("ein passwort"), hash));
    EXPECT_NE(hashPassword(QStringLiteral("ein Passwort"), kLeastPasswordRounds), hash); // own salt
    EXPECT_FALSE(
        passwordMatches(QStringLiteral("x"), hashPassword(QStringLiteral("x"), 1000))); // too few rounds
}

} // namespace
} // namespace kestrova
