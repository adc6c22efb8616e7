#include "base/audio/PlaybackDevice.h"

#include "base/audio/PlayerCommand.h"
#include "support/FakeAudioSink.h"
#include "support/WavBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using namespace kestrova::test;

class PlaybackDeviceTest : public ::testing::Test {
protected:
    QString writeWav(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // One second at 11025 Hz, 16-bit mono, samples counting the frames.
    QString oneSecond() { return writeWav(QStringLiteral("second.wav"), wav(1, 11025, 16, rampData(11025))); }

    void openFile(const QString& path) {
        ASSERT_EQ(device.send(QStringLiteral("open %1 alias waveplayfile").arg(path)).error, 0);
        ASSERT_EQ(device.send(QStringLiteral("set waveplayfile time format ms")).error, 0);
    }
    QString ask(const QString& what) {
        const CommandResult result = device.send(QStringLiteral("status waveplayfile ") + what);
        EXPECT_EQ(result.error, 0) << what.toStdString();
        return result.reply;
    }
    // Lets the sink play `frames` more frames, topping it up as a running timer would.
    void playFrames(std::size_t frames) {
        while (frames > 0) {
            device.pump();
            const std::size_t step = std::min(frames, sink.queued);
            if (step == 0) {
                break;
            }
            sink.consume(step);
            frames -= step;
        }
        device.pump();
    }
    int firstPlayedFrame() const { return static_cast<int>(std::lround(sink.received.at(0) * 32768.0f)); }

    QTemporaryDir dir;
    FakeAudioSink sink;
    PlaybackDevice device{sink};
};

TEST_F(PlaybackDeviceTest, OpensQuotedAndBarePathsWithBlanksInAnyCase) {
    const QString path = writeWav(QStringLiteral("a b/x.wav"), wav(1, 11025, 8, QByteArray(22050, '\x80')));
    EXPECT_EQ(device.send(QStringLiteral("OPEN \"%1\" ALIAS WavePlayFile").arg(path)).error, 0);
    EXPECT_EQ(ask(QStringLiteral("LENGTH")), QStringLiteral("2000"));
    EXPECT_EQ(device.send(QStringLiteral("close waveplayfile")).error, 0);
    EXPECT_EQ(device.send(QStringLiteral("open %1 alias waveplayfile").arg(path)).error, 0);
}

TEST_F(PlaybackDeviceTest, LengthIsInMillisecondsForTheHeaderRate) {
    openFile(writeWav(QStringLiteral("stereo.wav"), wav(2, 8000, 16, QByteArray(8000 * 4 * 3 / 2, '\0'))));
    EXPECT_EQ(ask(QStringLiteral("length")), QStringLiteral("1500"));
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("0"));
}

TEST_F(PlaybackDeviceTest, RefusesCommandsThatDoNotFitTheState) {
    const QString path = oneSecond();
    EXPECT_EQ(device.send(QStringLiteral("play waveplayfile from 0")).error, kPlayerNotOpen);
    EXPECT_EQ(device.send(QStringLiteral("status waveplayfile position")).error, kPlayerNotOpen);
    EXPECT_EQ(device.send(QStringLiteral("close waveplayfile")).error, kPlayerNotOpen);
    const CommandResult missing = device.send(QStringLiteral("open /nonexistent/x.wav alias waveplayfile"));
    EXPECT_EQ(missing.error, kPlayerCannotReadFile);
    EXPECT_FALSE(missing.reply.isEmpty());
    const QString garbage = writeWav(QStringLiteral("garbage.wav"), "not a sound");
    EXPECT_EQ(device.send(QStringLiteral("open %1 alias waveplayfile").arg(garbage)).error,
              kPlayerCannotReadFile);

    openFile(path);
    EXPECT_EQ(device.send(QStringLiteral("open %1 alias waveplayfile").arg(path)).error, kPlayerAlreadyOpen);
    EXPECT_EQ(device.send(QStringLiteral("play otherfile from 0")).error, kPlayerUnknownAlias);
    EXPECT_EQ(device.send(QStringLiteral("rewind waveplayfile")).error, kPlayerUnknownCommand);
    EXPECT_EQ(device.send(QStringLiteral("seek waveplayfile to soon")).error, kPlayerBadArgument);
    EXPECT_EQ(device.send(QStringLiteral("play waveplayfile from -5")).error, kPlayerBadArgument);
    EXPECT_EQ(device.send(QStringLiteral("set waveplayfile time format frames")).error, kPlayerBadArgument);
    EXPECT_EQ(device.send(QStringLiteral("")).error, kPlayerUnknownCommand);
    EXPECT_EQ(sink.starts, 0);
}

TEST_F(PlaybackDeviceTest, PositionFollowsTheFramesTheSinkPlayedUntilTheLength) {
    openFile(oneSecond());
    ASSERT_EQ(device.send(QStringLiteral("play waveplayfile from 0")).error, 0);
    EXPECT_EQ(sink.rate, 11025);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("0"));
    playFrames(5513);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("500"));
    EXPECT_EQ(ask(QStringLiteral("mode")), QStringLiteral("playing"));
    playFrames(11025);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("1000"));
    EXPECT_EQ(ask(QStringLiteral("mode")), QStringLiteral("stopped"));
    EXPECT_FALSE(sink.running);
    EXPECT_EQ(sink.written, 11025u);
}

TEST_F(PlaybackDeviceTest, PlayFromAndSeekStartAtTheRequestedTime) {
    openFile(oneSecond());
    ASSERT_EQ(device.send(QStringLiteral("play waveplayfile from 500")).error, 0);
    EXPECT_EQ(firstPlayedFrame(), 5513);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("500"));

    ASSERT_EQ(device.send(QStringLiteral("seek waveplayfile to 250")).error, 0);
    EXPECT_FALSE(sink.running) << "seeking stops the sound";
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("250"));
    ASSERT_EQ(device.send(QStringLiteral("play waveplayfile")).error, 0);
    EXPECT_EQ(firstPlayedFrame(), 2757);

    // A time past the end is the end, and playing from there ends at once.
    ASSERT_EQ(device.send(QStringLiteral("play waveplayfile from 99999")).error, 0);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("1000"));
    EXPECT_EQ(ask(QStringLiteral("mode")), QStringLiteral("stopped"));
}

TEST_F(PlaybackDeviceTest, StopKeepsThePositionAndTheFileOpen) {
    openFile(oneSecond());
    device.send(QStringLiteral("play waveplayfile from 100"));
    playFrames(2205); // 200 ms
    ASSERT_EQ(device.send(QStringLiteral("stop waveplayfile")).error, 0);
    EXPECT_FALSE(sink.running);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("300"));
    sink.consume(1000); // frames the device still had make no difference once stopped
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("300"));
    EXPECT_EQ(ask(QStringLiteral("length")), QStringLiteral("1000"));

    ASSERT_EQ(device.send(QStringLiteral("close waveplayfile")).error, 0);
    EXPECT_EQ(device.send(QStringLiteral("status waveplayfile position")).error, kPlayerNotOpen);
}

TEST_F(PlaybackDeviceTest, AFasterHeaderRatePlaysTheSameSamplesInLessTime) {
    // The sound window speeds replay up by rewriting the rate in the header.
    const QByteArray samples = rampData(14332);
    openFile(writeWav(QStringLiteral("fast.wav"), wav(1, 14332, 16, samples)));
    EXPECT_EQ(ask(QStringLiteral("length")), QStringLiteral("1000"));
    device.send(QStringLiteral("play waveplayfile from 0"));
    EXPECT_EQ(sink.rate, 14332);
    playFrames(7166);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("500"));
    playFrames(7166);
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("1000"));
    device.send(QStringLiteral("close waveplayfile"));

    openFile(writeWav(QStringLiteral("normal.wav"), wav(1, 11025, 16, samples)));
    EXPECT_EQ(ask(QStringLiteral("length")), QStringLiteral("1299"));
}

TEST_F(PlaybackDeviceTest, ADeviceFailureStopsPlaybackWithoutLosingThePosition) {
    openFile(oneSecond());
    sink.refuseStart = true;
    EXPECT_EQ(device.send(QStringLiteral("play waveplayfile from 0")).error, kPlayerDeviceFailed);
    EXPECT_EQ(ask(QStringLiteral("mode")), QStringLiteral("stopped"));

    sink.refuseStart = false;
    ASSERT_EQ(device.send(QStringLiteral("play waveplayfile from 0")).error, 0);
    playFrames(1103);
    sink.broken = true;
    device.pump();
    EXPECT_EQ(ask(QStringLiteral("mode")), QStringLiteral("stopped"));
    EXPECT_EQ(ask(QStringLiteral("position")), QStringLiteral("100"));
}

} // namespace
} // namespace kestrova
