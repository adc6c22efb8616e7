#include "base/audio/CaptureDevice.h"

#include "base/audio/CaptureCommand.h"
#include "base/audio/InputHub.h"
#include "base/wav/Wav8Header.h"
#include "support/FakeInput.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

const QString kOpen = QStringLiteral("open new type waveaudio alias capture");

QString setFormat(int rate) {
    return QStringLiteral("set capture time format milliseconds bitspersample 8 samplespersec %1 channels 1 "
                          "bytespersec %1 alignment 1")
        .arg(rate);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t le32(const QByteArray& bytes, int at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

QByteArray samples(const QByteArray& file) {
    return file.mid(static_cast<int>(kWav8HeaderSize));
}

class CaptureDeviceTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    test::FakeInput input;
    InputHub hub{input};
    int selected = 1;
    CaptureDevice capture{hub, [this] { return selected; }, folder.path()};

    int send(const QString& command) { return capture.send(command).error; }
    QString saved(const QString& name) const { return QDir(folder.path()).filePath(name); }
};

TEST_F(CaptureDeviceTest, RefusesCommandsThatDoNotFitTheState) {
    EXPECT_NE(send("record capture"), 0);
    EXPECT_NE(send(setFormat(11025)), 0);
    EXPECT_NE(send("close capture"), 0);
    EXPECT_NE(send("unknown words"), 0);

    ASSERT_EQ(send(kOpen), 0);
    EXPECT_NE(send(kOpen), 0);
    EXPECT_NE(send("save capture a.wav"), 0); // nothing recorded
    EXPECT_NE(send("pause capture"), 0);
    EXPECT_NE(send("resume capture"), 0);
    EXPECT_EQ(send("record capture"), 0);
    EXPECT_NE(send("record capture"), 0);
    EXPECT_NE(send("resume capture"), 0);
    EXPECT_NE(send(setFormat(22050)), 0); // not while recording
    EXPECT_EQ(send("pause capture"), 0);
    EXPECT_NE(send("pause capture"), 0);
    EXPECT_EQ(send("resume capture"), 0);
    EXPECT_EQ(send("stop capture"), 0);
    EXPECT_EQ(send("close capture"), 0);
    EXPECT_NE(send("stop capture"), 0);
    EXPECT_NE(send("close capture"), 0);
}

TEST_F(CaptureDeviceTest, AcceptsOnlyEightBitMonoAtTheKnownRates) {
    ASSERT_EQ(send(kOpen), 0);
    EXPECT_EQ(send(setFormat(8000)), 0);
    EXPECT_EQ(send(setFormat(44100)), 0);
    EXPECT_EQ(send(setFormat(12000)), kCaptureBadFormat);
    EXPECT_EQ(send("set capture time format milliseconds bitspersample 16 samplespersec 11025 channels 1 "
                   "bytespersec 22050 alignment 2"),
              kCaptureBadFormat);
    EXPECT_EQ(send("set capture time format milliseconds bitspersample 8 samplespersec 11025 channels 2 "
                   "bytespersec 22050 alignment 2"),
              kCaptureBadFormat);
}

TEST_F(CaptureDeviceTest, SavesAWavFileOfTheRecordedSamples) {
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send(setFormat(8000)), 0);
    ASSERT_EQ(send("record capture"), 0);
    EXPECT_EQ(input.lastPosition, 1) << "opens the selected device when the hub has none";
    input.feed({10, 20, 30});
    capture.pump();
    input.feed({40, 50});
    ASSERT_EQ(send("stop capture"), 0);
    ASSERT_EQ(send("save capture call.wav"), 0);

    const QByteArray file = readAll(saved("call.wav"));
    ASSERT_EQ(file.size(), 44 + 5);
    const auto header = wav8Header(5, 8000);
    EXPECT_EQ(file.left(44), QByteArray(reinterpret_cast<const char*>(header.data()), 44));
    EXPECT_EQ(file.left(4), "RIFF");
    EXPECT_EQ(le32(file, 4), 36u + 5u);
    EXPECT_EQ(file.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(file, 16), 16u);
    EXPECT_EQ(le32(file, 24), 8000u);
    EXPECT_EQ(le32(file, 28), 8000u);
    EXPECT_EQ(file.mid(36, 4), "data");
    EXPECT_EQ(le32(file, 40), 5u);
    EXPECT_EQ(samples(file), QByteArray("\x0a\x14\x1e\x28\x32"));
}

TEST_F(CaptureDeviceTest, WorkingFileIsAValidWavWhileRecordingAndGoesAwayOnCloseOnceSaved) {
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send("record capture"), 0);
    input.feed(1000, 200);
    capture.pump();
    const QByteArray working = readAll(capture.workingFilePath());
    ASSERT_EQ(working.size(), 44 + 1000);
    EXPECT_EQ(le32(working, 40), 1000u);
    EXPECT_EQ(le32(working, 4), 1036u);
    // The sizes follow at least every second of sound.
    input.feed(11025, 200);
    capture.pump();
    EXPECT_EQ(le32(readAll(capture.workingFilePath()), 40), 12025u);

    ASSERT_EQ(send("save capture a.wav"), 0);
    ASSERT_EQ(send("close capture"), 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.wav")});
}

TEST_F(CaptureDeviceTest, NothingUnsavedIsThrownAwayEvenWhenTheWorkingFolderGoes) {
    QTemporaryDir elsewhere;
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send("record capture"), 0);
    input.feed(1000, 200);
    capture.pump();
    ASSERT_TRUE(QDir(folder.path()).removeRecursively());
    input.feed(500, 100);
    ASSERT_EQ(send("stop capture"), 0);
    EXPECT_EQ(send("save capture call.wav"), kCaptureFileError);
    ASSERT_EQ(send("save capture " + elsewhere.filePath("call.wav")), 0);
    const QByteArray file = readAll(elsewhere.filePath("call.wav"));
    ASSERT_EQ(file.size(), 44 + 1500);
    EXPECT_EQ(le32(file, 40), 1500u);
    EXPECT_EQ(samples(file), QByteArray(1000, char(200)) + QByteArray(500, char(100)));
    ASSERT_EQ(send("close capture"), 0);

    // The next capture makes the folder again; closed unsaved, it is set aside.
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send("record capture"), 0);
    input.feed(300, 50);
    ASSERT_EQ(send("stop capture"), 0);
    ASSERT_EQ(send("close capture"), 0);
    EXPECT_EQ(readAll(saved("capture.interrupted-1.wav")).size(), 44 + 300);
    EXPECT_FALSE(QFile::exists(capture.workingFilePath()));
}

TEST_F(CaptureDeviceTest, StartsHalfASecondBeforeTheSampleTheMeterHeard) {
    ASSERT_TRUE(hub.open(1, 11025));
    input.feed(11025, 100); // a second of input before anyone records
    input.feed(1000, 180);  // the level crosses the threshold here
    input.feed(2000, 150);  // by the time the meter has heard it
    hub.pump();
    hub.setSignalAt(11025);
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send("record capture"), 0);
    hub.setSignalAt(std::nullopt);
    input.feed(500, 220);
    ASSERT_EQ(send("stop capture"), 0);
    ASSERT_EQ(send("save capture a.wav"), 0);

    const QByteArray recorded = samples(readAll(saved("a.wav")));
    const int preRoll = 11025 / 2;
    EXPECT_EQ(recorded, QByteArray(preRoll, char(100)) + QByteArray(1000, char(180)) +
                            QByteArray(2000, char(150)) + QByteArray(500, char(220)));
    EXPECT_EQ(input.opens, 1) << "the capture records from the meter's stream";
}

TEST_F(CaptureDeviceTest, PauseLeavesOutAllButTheHalfSecondBeforeResume) {
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send(setFormat(8000)), 0);
    ASSERT_EQ(send("record capture"), 0); // hub just opened: no pre-roll yet
    input.feed(800, 10);
    ASSERT_EQ(send("pause capture"), 0);
    input.feed(8000, 20); // a second paused
    capture.pump();
    input.feed(1000, 30); // the last stretch before resume
    ASSERT_EQ(send("resume capture"), 0);
    input.feed(600, 40);
    ASSERT_EQ(send("stop capture"), 0);
    ASSERT_EQ(send("save capture b.wav"), 0);

    const QByteArray recorded = samples(readAll(saved("b.wav")));
    ASSERT_EQ(recorded.size(), 800 + 4000 + 600);
    EXPECT_EQ(recorded.left(800), QByteArray(800, char(10)));
    EXPECT_EQ(recorded.mid(800, 3000), QByteArray(3000, char(20)));
    EXPECT_EQ(recorded.mid(3800, 1000), QByteArray(1000, char(30)));
    EXPECT_EQ(recorded.right(600), QByteArray(600, char(40)));
}

TEST_F(CaptureDeviceTest, ShortPauseIsNotRecordedTwice) {
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send(setFormat(8000)), 0);
    ASSERT_EQ(send("record capture"), 0);
    input.feed(3000, 10);
    ASSERT_EQ(send("pause capture"), 0);
    input.feed(100, 20);
    ASSERT_EQ(send("resume capture"), 0);
    input.feed(50, 30);
    ASSERT_EQ(send("save capture c.wav"), 0); // while still recording

    const QByteArray recorded = samples(readAll(saved("c.wav")));
    EXPECT_EQ(recorded, QByteArray(3000, char(10)) + QByteArray(100, char(20)) + QByteArray(50, char(30)));
}

TEST_F(CaptureDeviceTest, ConvertsWhenTheStreamRunsAtAnotherRate) {
    input.nativeRate = 22050;
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send("record capture"), 0); // 11025 by default
    input.feed(22050, 128);
    ASSERT_EQ(send("stop capture"), 0);
    ASSERT_EQ(send("save capture d.wav"), 0);

    const QByteArray file = readAll(saved("d.wav"));
    EXPECT_EQ(le32(file, 24), 11025u);
    EXPECT_NEAR(static_cast<double>(samples(file).size()), 11025.0, 50.0);
}

TEST_F(CaptureDeviceTest, SaveReplacesAnExistingFileOnlyWhenComplete) {
    QFile old(saved("e.wav"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    ASSERT_EQ(send(kOpen), 0);
    ASSERT_EQ(send("record capture"), 0);
    input.feed(10, 1);
    ASSERT_EQ(send("stop capture"), 0);
    EXPECT_NE(send("save capture " + folder.path() + "/missing/e.wav"), 0);
    ASSERT_EQ(send("save capture " + saved("e.wav")), 0);
    EXPECT_EQ(readAll(saved("e.wav")).size(), 44 + 10);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2) << "only the working file and e.wav";
}

TEST_F(CaptureDeviceTest, RecordFailsWhenTheSelectedDeviceCannotBeOpened) {
    input.failing.insert(1);
    ASSERT_EQ(send(kOpen), 0);
    EXPECT_EQ(send("record capture"), kCaptureNoInput);
}

TEST(CaptureRecovery, CompletesTheHeaderOfACrashedWorkingFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("capture.part.wav");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const auto header = wav8Header(0, 11025); // sizes as at the start
    file.write(reinterpret_cast<const char*>(header.data()), 44);
    file.write(QByteArray(300, char(128)));
    file.close();

    const std::optional<WavFormat> format = CaptureDevice::recoverWorkingFile(path);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->sampleRate, 11025);
    EXPECT_EQ(format->frameCount, 300u);
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(le32(bytes, 4), 36u + 300u);
    EXPECT_EQ(le32(bytes, 40), 300u);
    EXPECT_FALSE(CaptureDevice::recoverWorkingFile(folder.filePath("none.wav")));
}

} // namespace
} // namespace kestrova
