#include "base/audio/WorkingFileCapture.h"

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

constexpr CaptureResult kOk = CaptureResult::Ok;
constexpr CaptureResult kRefused = CaptureResult::WrongState;

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

class WorkingFileCaptureTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    test::FakeInput input;
    InputHub hub{input};
    int selected = 1;
    WorkingFileCapture capture{hub, [this] { return selected; }, folder.path()};

    QString saved(const QString& name) const { return QDir(folder.path()).filePath(name); }
};

TEST_F(WorkingFileCaptureTest, RefusesWhatDoesNotFitTheState) {
    EXPECT_EQ(capture.record(), kRefused);
    EXPECT_EQ(capture.setFormat(8, 11025, 1), kRefused);
    EXPECT_EQ(capture.close(), kRefused);

    ASSERT_EQ(capture.open(), kOk);
    EXPECT_EQ(capture.open(), kRefused);
    EXPECT_EQ(capture.saveAs("a.wav"), CaptureResult::NothingRecorded);
    EXPECT_EQ(capture.pause(), kRefused);
    EXPECT_EQ(capture.resume(), kRefused);
    EXPECT_EQ(capture.record(), kOk);
    EXPECT_EQ(capture.record(), kRefused);
    EXPECT_EQ(capture.resume(), kRefused);
    EXPECT_EQ(capture.setFormat(8, 22050, 1), kRefused); // not while recording
    EXPECT_EQ(capture.pause(), kOk);
    EXPECT_EQ(capture.pause(), kRefused);
    EXPECT_EQ(capture.resume(), kOk);
    EXPECT_EQ(capture.stop(), kOk);
    EXPECT_EQ(capture.close(), kOk);
    EXPECT_EQ(capture.stop(), kRefused);
    EXPECT_EQ(capture.close(), kRefused);
}

TEST_F(WorkingFileCaptureTest, AcceptsOnlyEightBitMonoAtTheKnownRates) {
    ASSERT_EQ(capture.open(), kOk);
    EXPECT_EQ(capture.setFormat(8, 8000, 1), kOk);
    EXPECT_EQ(capture.setFormat(8, 44100, 1), kOk);
    EXPECT_EQ(capture.setFormat(8, 12000, 1), CaptureResult::BadFormat);
    EXPECT_EQ(capture.setFormat(16, 11025, 1), CaptureResult::BadFormat);
    EXPECT_EQ(capture.setFormat(8, 11025, 2), CaptureResult::BadFormat);
}

TEST_F(WorkingFileCaptureTest, SavesAWavFileOfTheRecordedSamples) {
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.setFormat(8, 8000, 1), kOk);
    ASSERT_EQ(capture.record(), kOk);
    EXPECT_EQ(input.lastPosition, 1) << "opens the selected device when the hub has none";
    input.feed({10, 20, 30});
    capture.pump();
    input.feed({40, 50});
    ASSERT_EQ(capture.stop(), kOk);
    ASSERT_EQ(capture.saveAs("call.wav"), kOk);

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

TEST_F(WorkingFileCaptureTest, WorkingFileIsAValidWavWhileRecordingAndGoesAwayOnCloseOnceSaved) {
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.record(), kOk);
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

    ASSERT_EQ(capture.saveAs("a.wav"), kOk);
    ASSERT_EQ(capture.close(), kOk);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.wav")});
}

TEST_F(WorkingFileCaptureTest, NothingUnsavedIsThrownAwayEvenWhenTheWorkingFolderGoes) {
    QTemporaryDir elsewhere;
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.record(), kOk);
    input.feed(1000, 200);
    capture.pump();
    ASSERT_TRUE(QDir(folder.path()).removeRecursively());
    input.feed(500, 100);
    ASSERT_EQ(capture.stop(), kOk);
    EXPECT_EQ(capture.saveAs("call.wav"), CaptureResult::FileError);
    ASSERT_EQ(capture.saveAs(elsewhere.filePath("call.wav")), kOk);
    const QByteArray file = readAll(elsewhere.filePath("call.wav"));
    ASSERT_EQ(file.size(), 44 + 1500);
    EXPECT_EQ(le32(file, 40), 1500u);
    EXPECT_EQ(samples(file), QByteArray(1000, char(200)) + QByteArray(500, char(100)));
    ASSERT_EQ(capture.close(), kOk);

    // The next capture makes the folder again; closed unsaved, it is set aside.
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.record(), kOk);
    input.feed(300, 50);
    ASSERT_EQ(capture.stop(), kOk);
    ASSERT_EQ(capture.close(), kOk);
    EXPECT_EQ(readAll(saved("capture.interrupted-1.wav")).size(), 44 + 300);
    EXPECT_FALSE(QFile::exists(capture.workingFilePath()));
}

TEST_F(WorkingFileCaptureTest, StartsHalfASecondBeforeTheSampleTheMeterHeard) {
    ASSERT_TRUE(hub.open(1, 11025));
    input.feed(11025, 100); // a second of input before anyone records
    input.feed(1000, 180);  // the level crosses the threshold here
    input.feed(2000, 150);  // by the time the meter has heard it
    hub.pump();
    hub.setSignalAt(11025);
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.record(), kOk);
    hub.setSignalAt(std::nullopt);
    input.feed(500, 220);
    ASSERT_EQ(capture.stop(), kOk);
    ASSERT_EQ(capture.saveAs("a.wav"), kOk);

    const QByteArray recorded = samples(readAll(saved("a.wav")));
    const int preRoll = 11025 / 2;
    EXPECT_EQ(recorded, QByteArray(preRoll, char(100)) + QByteArray(1000, char(180)) +
                            QByteArray(2000, char(150)) + QByteArray(500, char(220)));
    EXPECT_EQ(input.opens, 1) << "the capture records from the meter's stream";
}

TEST_F(WorkingFileCaptureTest, PauseLeavesOutAllButTheHalfSecondBeforeResume) {
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.setFormat(8, 8000, 1), kOk);
    ASSERT_EQ(capture.record(), kOk); // hub just opened: no pre-roll yet
    input.feed(800, 10);
    ASSERT_EQ(capture.pause(), kOk);
    input.feed(8000, 20); // a second paused
    capture.pump();
    input.feed(1000, 30); // the last stretch before resume
    ASSERT_EQ(capture.resume(), kOk);
    input.feed(600, 40);
    ASSERT_EQ(capture.stop(), kOk);
    ASSERT_EQ(capture.saveAs("b.wav"), kOk);

    const QByteArray recorded = samples(readAll(saved("b.wav")));
    ASSERT_EQ(recorded.size(), 800 + 4000 + 600);
    EXPECT_EQ(recorded.left(800), QByteArray(800, char(10)));
    EXPECT_EQ(recorded.mid(800, 3000), QByteArray(3000, char(20)));
    EXPECT_EQ(recorded.mid(3800, 1000), QByteArray(1000, char(30)));
    EXPECT_EQ(recorded.right(600), QByteArray(600, char(40)));
}

TEST_F(WorkingFileCaptureTest, ShortPauseIsNotRecordedTwice) {
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.setFormat(8, 8000, 1), kOk);
    ASSERT_EQ(capture.record(), kOk);
    input.feed(3000, 10);
    ASSERT_EQ(capture.pause(), kOk);
    input.feed(100, 20);
    ASSERT_EQ(capture.resume(), kOk);
    input.feed(50, 30);
    ASSERT_EQ(capture.saveAs("c.wav"), kOk); // while still recording

    const QByteArray recorded = samples(readAll(saved("c.wav")));
    EXPECT_EQ(recorded, QByteArray(3000, char(10)) + QByteArray(100, char(20)) + QByteArray(50, char(30)));
}

TEST_F(WorkingFileCaptureTest, ConvertsWhenTheStreamRunsAtAnotherRate) {
    input.nativeRate = 22050;
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.record(), kOk); // 11025 by default
    input.feed(22050, 128);
    ASSERT_EQ(capture.stop(), kOk);
    ASSERT_EQ(capture.saveAs("d.wav"), kOk);

    const QByteArray file = readAll(saved("d.wav"));
    EXPECT_EQ(le32(file, 24), 11025u);
    EXPECT_NEAR(static_cast<double>(samples(file).size()), 11025.0, 50.0);
}

TEST_F(WorkingFileCaptureTest, SaveReplacesAnExistingFileOnlyWhenComplete) {
    QFile old(saved("e.wav"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    ASSERT_EQ(capture.open(), kOk);
    ASSERT_EQ(capture.record(), kOk);
    input.feed(10, 1);
    ASSERT_EQ(capture.stop(), kOk);
    EXPECT_NE(capture.saveAs(folder.path() + "/missing/e.wav"), kOk);
    ASSERT_EQ(capture.saveAs(saved("e.wav")), kOk);
    EXPECT_EQ(readAll(saved("e.wav")).size(), 44 + 10);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2) << "only the working file and e.wav";
}

TEST_F(WorkingFileCaptureTest, RecordFailsWhenTheSelectedDeviceCannotBeOpened) {
    input.failing.insert(1);
    ASSERT_EQ(capture.open(), kOk);
    EXPECT_EQ(capture.record(), CaptureResult::NoInput);
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

    const std::optional<WavFormat> format = WorkingFileCapture::recoverWorkingFile(path);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->sampleRate, 11025);
    EXPECT_EQ(format->frameCount, 300u);
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(le32(bytes, 4), 36u + 300u);
    EXPECT_EQ(le32(bytes, 40), 300u);
    EXPECT_FALSE(WorkingFileCapture::recoverWorkingFile(folder.filePath("none.wav")));

    // A link planted in a working file's name leads nowhere: its target keeps its bytes.
    const QString elsewhere = folder.filePath("elsewhere.wav");
    const QByteArray before =
        QByteArray(reinterpret_cast<const char*>(header.data()), 44) + QByteArray(300, char(128));
    QFile target(elsewhere);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly) && target.write(before) == before.size());
    target.close();
    const QString planted = folder.filePath("planted.part.wav");
    ASSERT_TRUE(QFile::link(elsewhere, planted));
    EXPECT_FALSE(WorkingFileCapture::recoverWorkingFile(planted));
    EXPECT_EQ(readAll(elsewhere), before);
}

} // namespace
} // namespace kestrova
