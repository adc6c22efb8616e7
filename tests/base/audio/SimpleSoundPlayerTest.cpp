#include "base/audio/SimpleSoundPlayer.h"

#include "support/FakeAudioSink.h"
#include "support/WavBytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
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

// Laid out as sox writes them: a format chunk of 18 bytes and a fact chunk.
QByteArray codedWav(std::uint16_t tag, int bits, std::uint32_t frames, const QByteArray& data,
                    std::uint32_t claimedData = 0xFFFFFFFFu) {
    QByteArray fact;
    putLe(fact, frames, 4);
    return riff(chunk("fmt ", fmtBody(1, 8000, bits, tag) + QByteArray(2, '\0')) + chunk("fact", fact) +
                chunk("data", data, claimedData));
}

QByteArray floats(std::initializer_list<float> samples) {
    QByteArray data;
    for (const float sample : samples) {
        data.append(reinterpret_cast<const char*>(&sample), sizeof sample);
    }
    return data;
}

TEST_F(SimpleSoundPlayerTest, EveryCodingAndLayoutTheHeaderReaderTakesPlays) {
    QByteArray sixChannels;
    for (const std::uint32_t sample :
         {0x4000u, 0x4000u, 0x4000u, 0x4000u, 0x4000u, 0x4000u, 0x6000u, 0u, 0u, 0u, 0u, 0u}) {
        putLe(sixChannels, sample, 2);
    }
    QByteArray sixFormat = extensibleFmtBody(6, 8000, 16);
    sixFormat[20] = 0x3F; // the speakers of 5.1
    QByteArray lowerCase =
        riff(chunk("FMT ", fmtBody(1, 8000, 8)) + chunk("DATA", QByteArray::fromHex("0080ff")));
    lowerCase.replace(0, 4, "riff");
    lowerCase.replace(8, 4, "wave");

    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<float> heard; // mono
    };
    const std::vector<Case> cases = {
        {"float.wav", codedWav(3, 32, 4, floats({0.5f, -0.25f, 2.0f, NAN})), {0.5f, -0.25f, 1.0f, 0.0f}},
        {"float-cut.wav", codedWav(3, 32, 250, floats({0.5f, -0.25f}), 1000), {0.5f, -0.25f}},
        {"alaw.wav", codedWav(6, 8, 3, QByteArray::fromHex("d5aa2a")), {8 / 32768.0f, 0.984375f, -0.984375f}},
        {"ulaw.wav",
         codedWav(7, 8, 3, QByteArray::fromHex("ff8000")),
         {0.0f, 32124 / 32768.0f, -32124 / 32768.0f}},
        {"six.wav", riff(chunk("fmt ", sixFormat) + chunk("data", sixChannels)), {0.5f, 0.125f}},
        {"lower.wav", lowerCase, {-1.0f, 0.0f, 127 / 128.0f}},
    };
    SimpleSoundPlayer player(sink);
    sink.consumeAtOnce = true;
    for (const Case& c : cases) {
        ASSERT_TRUE(player.play(writeFile(c.name, c.bytes))) << c.name;
        EXPECT_EQ(sink.rate, 8000) << c.name;
        EXPECT_EQ(sink.channelCount, 1) << c.name;
        ASSERT_EQ(sink.received.size(), c.heard.size()) << c.name;
        for (std::size_t i = 0; i < c.heard.size(); ++i) {
            EXPECT_NEAR(sink.received[i], c.heard[i], 1e-4) << c.name << " sample " << i;
        }
    }
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

// One stream for files in turn: the pause is written as silence, a later file is
// converted to the first one's rate and channels, a file that cannot play leaves its pause.
TEST_F(SimpleSoundPlayerTest, FilesInTurnGoOutInOneStreamWithThePauseBetweenThem) {
    SimpleSoundPlayer player(sink);
    sink.consumeAtOnce = true;
    sink.capacity = 1 << 20;
    const QString first = writeFile("first.wav", wav(1, 8000, 16, rampData(800, 1)));
    const QString second = writeFile("second.wav", wav(2, 16000, 16, rampData(3200, 1000)));
    ASSERT_TRUE(player.playInTurn({first, second}, 275));
    EXPECT_EQ(sink.starts, 1);
    EXPECT_EQ(sink.rate, 8000);
    EXPECT_EQ(sink.channelCount, 1);
    ASSERT_NEAR(static_cast<double>(sink.received.size()), 800 + 2200 + 800, 4);
    EXPECT_FLOAT_EQ(sink.received[799], 800.0f / 32768.0f);
    EXPECT_TRUE(std::all_of(sink.received.begin() + 800, sink.received.begin() + 3000,
                            [](float v) { return v == 0; }));
    EXPECT_GT(sink.received[3400], 0.02f);

    ASSERT_TRUE(player.playInTurn({dir.filePath("missing.wav"), second}, 275));
    EXPECT_EQ(sink.rate, 16000);
    ASSERT_EQ(sink.received.size(), (4400u + 1600u) * 2u);
    EXPECT_EQ(sink.received[2 * 4400 - 1], 0.0f);
    EXPECT_FLOAT_EQ(sink.received[2 * 4400], 1000.0f / 32768.0f);

    const int starts = sink.starts;
    EXPECT_FALSE(player.playInTurn({dir.filePath("missing.wav")}, 275));
    EXPECT_EQ(sink.starts, starts);
}

} // namespace
} // namespace kestrova
