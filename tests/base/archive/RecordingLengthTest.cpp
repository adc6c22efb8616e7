// The length reader of the list, the filing and the web page.
#include "base/archive/RecordingLength.h"

#include "archive/RecordingFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

class RecordingLengthTest : public ::testing::Test {
protected:
    double lengthOf(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("r.wav"));
        EXPECT_TRUE(writeBytes(path, bytes));
        return readRecordingLength(path, fields);
    }

    QTemporaryDir dir;
    QStringList fields;
};

TEST_F(RecordingLengthTest, ReadsFormatChunksOf16And18) {
    EXPECT_DOUBLE_EQ(lengthOf(recordingBytes(11025, 220500)), 20.0);
    EXPECT_EQ(fields, (QStringList{"RIFF", "220536", "WAVE", "fmt ", "16", "1", "1", "11025", "11025", "1",
                                   "8", "data", "220500"}));

    EXPECT_DOUBLE_EQ(lengthOf(recordingBytes(8000, 200000, 1, 18)), 25.0);
    EXPECT_EQ(fields[4], QStringLiteral("18"));
    EXPECT_EQ(fields[11], QStringLiteral("data"));
    EXPECT_EQ(fields[12], QStringLiteral("200000"));

    // Block align divides: 16-bit frames take two bytes.
    EXPECT_DOUBLE_EQ(lengthOf(recordingBytes(8000, 32000, 2)), 2.0);
}

TEST_F(RecordingLengthTest, OtherLayoutsAndBadFieldsGiveZero) {
    EXPECT_EQ(lengthOf(recordingBytes(11025, 11025, 1, 20)), 0.0);
    EXPECT_EQ(fields.size(), 13);
    EXPECT_EQ(fields[4], QStringLiteral("20"));
    EXPECT_TRUE(fields[11].isEmpty());
    EXPECT_TRUE(fields[12].isEmpty());

    EXPECT_EQ(lengthOf(recordingBytes(0, 11025)), 0.0);
    EXPECT_EQ(lengthOf(recordingBytes(11025, 11025, 0)), 0.0);
}

TEST_F(RecordingLengthTest, UnreadableAndShortFilesGiveZero) {
    EXPECT_EQ(readRecordingLength(dir.filePath(QStringLiteral("missing.wav")), fields), 0.0);
    EXPECT_EQ(fields.size(), 13);
    EXPECT_EQ(readRecordingLength(dir.path(), fields), 0.0);
    EXPECT_EQ(lengthOf(QByteArray()), 0.0);
    // Cut inside the data length field.
    EXPECT_EQ(lengthOf(recordingBytes(11025, 11025).left(42)), 0.0);
    EXPECT_EQ(fields[0], QStringLiteral("RIFF"));
    EXPECT_TRUE(fields[12].isEmpty());
    EXPECT_EQ(lengthOf(QByteArray("not a recording at all, only some text here, more than fifty bytes")),
              0.0);
}

TEST_F(RecordingLengthTest, APipeIsNotOpened) {
    const QString path = dir.filePath(QStringLiteral("pipe.wav"));
    if (QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0) {
        GTEST_SKIP() << "mkfifo not available";
    }
    // Opening a pipe without a writer would block the program for good.
    EXPECT_EQ(readRecordingLength(path, fields), 0.0);
}

} // namespace
} // namespace kestrova::test
