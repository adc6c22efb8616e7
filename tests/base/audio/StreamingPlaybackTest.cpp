#include "base/audio/StreamingPlayback.h"

#include "support/FakeAudioSink.h"
#include "support/WavBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using namespace kestrova::test;

constexpr PlaybackResult kOk = PlaybackResult::Ok;

class StreamingPlaybackTest : public ::testing::Test {
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

    void openFile(const QString& path) { ASSERT_EQ(device.open(path), kOk); }
    PlaybackStatus status() { return device.status().value_or(PlaybackStatus{-1, -1, false}); }
    long long position() { return status().positionMs; }
    bool playing() { return status().playing; }
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
    StreamingPlayback device{sink};
};

TEST_F(StreamingPlaybackTest, LengthIsInMillisecondsForTheHeaderRate) {
    openFile(writeWav(QStringLiteral("stereo.wav"), wav(2, 8000, 16, QByteArray(8000 * 4 * 3 / 2, '\0'))));
    EXPECT_EQ(status().lengthMs, 1500);
    EXPECT_EQ(position(), 0);
}

TEST_F(StreamingPlaybackTest, RefusesWhatDoesNotFitTheState) {
    const QString path = oneSecond();
    EXPECT_EQ(device.play(0, SoundStart::AtOnce), PlaybackResult::NotOpen);
    EXPECT_FALSE(device.status());
    EXPECT_EQ(device.close(), PlaybackResult::NotOpen);
    EXPECT_EQ(device.open(QStringLiteral("/nonexistent/x.wav")), PlaybackResult::CannotReadFile);
    EXPECT_EQ(device.open(writeWav(QStringLiteral("garbage.wav"), "not a sound")),
              PlaybackResult::CannotReadFile);

    openFile(path);
    EXPECT_EQ(device.open(path), PlaybackResult::AlreadyOpen);
    EXPECT_EQ(device.seek(-1), PlaybackResult::BadArgument);
    EXPECT_EQ(device.play(-5, SoundStart::AtOnce), PlaybackResult::BadArgument);
    EXPECT_EQ(sink.starts, 0);
}

TEST_F(StreamingPlaybackTest, PositionFollowsTheFramesTheSinkPlayedUntilTheLength) {
    openFile(oneSecond());
    ASSERT_EQ(device.play(0, SoundStart::AtOnce), kOk);
    EXPECT_EQ(sink.rate, 11025);
    EXPECT_EQ(position(), 0);
    playFrames(5513);
    EXPECT_EQ(position(), 500);
    EXPECT_TRUE(playing());
    playFrames(11025);
    EXPECT_EQ(position(), 1000);
    EXPECT_FALSE(playing());
    EXPECT_FALSE(sink.running);
    EXPECT_EQ(sink.written, 11025u);
}

TEST_F(StreamingPlaybackTest, PlayFromAndSeekStartAtTheRequestedTime) {
    openFile(oneSecond());
    ASSERT_EQ(device.play(500, SoundStart::AtOnce), kOk);
    EXPECT_EQ(firstPlayedFrame(), 5513);
    EXPECT_EQ(position(), 500);

    ASSERT_EQ(device.seek(250), kOk);
    EXPECT_FALSE(sink.running) << "seeking stops the sound";
    EXPECT_EQ(position(), 250);
    ASSERT_EQ(device.play(250, SoundStart::AtOnce), kOk);
    EXPECT_EQ(firstPlayedFrame(), 2757);

    // A time past the end is the end, and playing from there ends at once.
    ASSERT_EQ(device.play(99999, SoundStart::AtOnce), kOk);
    EXPECT_EQ(position(), 1000);
    EXPECT_FALSE(playing());
}

TEST_F(StreamingPlaybackTest, StopKeepsThePositionAndTheFileOpen) {
    openFile(oneSecond());
    device.play(100, SoundStart::AtOnce);
    playFrames(2205); // 200 ms
    ASSERT_EQ(device.stop(), kOk);
    EXPECT_FALSE(sink.running);
    EXPECT_EQ(position(), 300);
    sink.consume(1000); // frames the device still had make no difference once stopped
    EXPECT_EQ(position(), 300);
    EXPECT_EQ(status().lengthMs, 1000);

    ASSERT_EQ(device.close(), kOk);
    EXPECT_FALSE(device.status());
}

TEST_F(StreamingPlaybackTest, AFasterHeaderRatePlaysTheSameSamplesInLessTime) {
    // The sound window speeds replay up by rewriting the rate in the header.
    const QByteArray samples = rampData(14332);
    openFile(writeWav(QStringLiteral("fast.wav"), wav(1, 14332, 16, samples)));
    EXPECT_EQ(status().lengthMs, 1000);
    device.play(0, SoundStart::AtOnce);
    EXPECT_EQ(sink.rate, 14332);
    playFrames(7166);
    EXPECT_EQ(position(), 500);
    playFrames(7166);
    EXPECT_EQ(position(), 1000);
    device.close();

    openFile(writeWav(QStringLiteral("normal.wav"), wav(1, 11025, 16, samples)));
    EXPECT_EQ(status().lengthMs, 1299);
}

TEST_F(StreamingPlaybackTest, ADeviceFailureStopsPlaybackWithoutLosingThePosition) {
    openFile(oneSecond());
    sink.refuseStart = true;
    EXPECT_EQ(device.play(0, SoundStart::AtOnce), PlaybackResult::DeviceFailed);
    EXPECT_FALSE(playing());

    sink.refuseStart = false;
    ASSERT_EQ(device.play(0, SoundStart::AtOnce), kOk);
    playFrames(1103);
    sink.broken = true;
    device.pump();
    EXPECT_FALSE(playing());
    EXPECT_EQ(position(), 100);
}

} // namespace
} // namespace kestrova
