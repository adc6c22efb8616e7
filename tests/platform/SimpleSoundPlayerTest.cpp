#include "platform/SimpleSoundPlayer.h"

#include "FakeAudioSink.h"
#include "WavBytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using namespace kestrova::test;

class SimpleSoundPlayerTest : public ::testing::Test {
protected:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir dir;
    FakeAudioSink sink;
};

TEST_F(SimpleSoundPlayerTest, PlaysTheWholeFileAndReturnsAtItsEnd) {
    SimpleSoundPlayer player(sink);
    sink.consumeAtOnce = true;
    ASSERT_TRUE(player.play(writeFile("beep.wav", wav(1, 8000, 16, rampData(6000)))));
    EXPECT_EQ(sink.rate, 8000);
    EXPECT_EQ(sink.received.size(), 6000u);
    EXPECT_FLOAT_EQ(sink.received.back(), 5999.0f / 32768.0f);
    EXPECT_FALSE(sink.running);
}

TEST_F(SimpleSoundPlayerTest, UnplayableFilesAndRefusingDevicesReturnFalse) {
    SimpleSoundPlayer player(sink);
    EXPECT_FALSE(player.play(dir.filePath("missing.wav")));
    EXPECT_FALSE(player.play(writeFile("text.wav", "hello")));
    // A pipe is refused before it is opened, so nothing waits for a writer.
    if (QProcess::execute(QStringLiteral("mkfifo"), {dir.filePath("pipe.wav")}) == 0) {
        EXPECT_FALSE(player.play(dir.filePath("pipe.wav")));
    }
    EXPECT_EQ(sink.starts, 0);
    sink.refuseStart = true;
    EXPECT_FALSE(player.play(writeFile("ok.wav", wav(1, 8000, 8, QByteArray(100, '\x80')))));
}

TEST_F(SimpleSoundPlayerTest, AnEmptyNameFromTheUserInterfaceStopsTheWait) {
    SimpleSoundPlayer player(sink, 10'000);
    const QString path = writeFile("long.wav", wav(1, 8000, 16, rampData(80000)));
    QTimer::singleShot(30, [&] { EXPECT_TRUE(player.play(QString())); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(player.play(path));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(sink.running);
}

TEST_F(SimpleSoundPlayerTest, StopFromTheUserInterfaceEndsTheWait) {
    SimpleSoundPlayer player(sink, 10'000);
    QTimer::singleShot(30, [&] { player.stop(); });
    EXPECT_TRUE(player.play(writeFile("long.wav", wav(1, 8000, 16, rampData(80000)))));
    EXPECT_FALSE(sink.running);
}

TEST_F(SimpleSoundPlayerTest, ASoundStartedDuringTheWaitReplacesTheOneWaiting) {
    SimpleSoundPlayer player(sink, 10'000);
    const QString second = writeFile("second.wav", wav(1, 8000, 16, rampData(100, 7000)));
    bool innerPlayed = false;
    QTimer::singleShot(30, [&] {
        sink.consumeAtOnce = true;
        innerPlayed = player.play(second);
    });
    EXPECT_TRUE(player.play(writeFile("long.wav", wav(1, 8000, 16, rampData(80000)))));
    EXPECT_TRUE(innerPlayed);
    ASSERT_EQ(sink.received.size(), 100u);
    EXPECT_FLOAT_EQ(sink.received.front(), 7000.0f / 32768.0f);
    EXPECT_FALSE(sink.running);
}

TEST_F(SimpleSoundPlayerTest, ADeviceThatStopsPlayingIsGivenUpOn) {
    SimpleSoundPlayer player(sink, 100);
    EXPECT_FALSE(player.play(writeFile("long.wav", wav(1, 8000, 16, rampData(80000)))));
    EXPECT_FALSE(sink.running);

    sink.broken = false;
    QTimer::singleShot(20, [&] { sink.broken = true; });
    SimpleSoundPlayer patient(sink, 10'000);
    EXPECT_FALSE(patient.play(writeFile("long.wav", wav(1, 8000, 16, rampData(80000)))));
}

} // namespace
} // namespace kestrova
