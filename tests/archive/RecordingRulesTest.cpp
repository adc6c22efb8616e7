// Length reader, ages, list entries and archive folders of recordings.
#include "archive/RecordingRules.h"

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

TEST(RecordingAge, CountsThirtyDayMonths) {
    EXPECT_EQ(recordingAge(QStringLiteral("1_02-28-2012_10-00-00.wav"), QDate(2012, 3, 1)), 3);
    EXPECT_EQ(recordingAge(QStringLiteral("1_07-31-2012_10-00-00.wav"), QDate(2012, 8, 1)), 0);
    EXPECT_EQ(recordingAge(QStringLiteral("1_08-17-2012_10-00-00.wav"), QDate(2012, 8, 17)), 0);
    EXPECT_EQ(recordingAge(QStringLiteral("1_08-14-2012_10-00-00.wav"), QDate(2012, 8, 17)), 3);
}

TEST(RecordingAge, CountsTheYearSoLastDecemberAges) {
    EXPECT_EQ(recordingAge(QStringLiteral("1_12-30-2012_10-00-00.wav"), QDate(2013, 1, 3)), 3);
    EXPECT_EQ(recordingAge(QStringLiteral("1_12-31-2012_10-00-00.wav"), QDate(2013, 1, 1)), 0);
}

TEST(ListEntry, IsNameTwoBlanksAndTenTimesTheLength) {
    EXPECT_EQ(listEntryText(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25.0),
              QStringLiteral("1_08-17-2012_14-30-12.wav  250.0"));
    EXPECT_EQ(listEntryText(QStringLiteral("n"), 4.53), QStringLiteral("n  45.3"));
    EXPECT_EQ(listEntryText(QStringLiteral("n"), 1234.5), QStringLiteral("n  12345.0"));
}

TEST(DatedArchiveFolder, TakesCircuitYearMonthDayAndHourFromTheName) {
    EXPECT_EQ(datedArchiveFolder(QStringLiteral("/d/"), QStringLiteral("1_08-17-2012_14-30-12.wav")),
              QStringLiteral("/d/Fk_1/Ja_2012/Mo-08/Tg-17/hh-14"));
}

TEST(DeletionGuard, AcceptsOnlyEntriesDirectlyInTheFolder) {
    const QString w = QStringLiteral("/d/W");
    EXPECT_TRUE(isDirectlyInside(QStringLiteral("/d/W/1_08-17-2012_14-30-12.wav"), w));
    EXPECT_FALSE(isDirectlyInside(QStringLiteral("/d/W/../x.wav"), w));
    EXPECT_FALSE(isDirectlyInside(QStringLiteral("/d/W/1/../../x.wav"), w));
    EXPECT_FALSE(isDirectlyInside(QStringLiteral("/d/W/sub/x.wav"), w));
    EXPECT_FALSE(isDirectlyInside(QStringLiteral("/d/W"), w));
    EXPECT_FALSE(isDirectlyInside(QStringLiteral("/d/Wx/y.wav"), w));
}

} // namespace
} // namespace kestrova::test
