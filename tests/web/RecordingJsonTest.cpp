#include "base/web/RecordingJson.h"

#include "archive/RecordingFiles.h"
#include "base/archive/RecordingLength.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(RecordingJsonTest, AnArchiveDayGivesTheLengthsTheListGives) {
    QTemporaryDir folder;
    const QString day = QStringLiteral("Fk_1/Ja_2012/Mo-08/Tg-17");
    const QString hour = folder.filePath(day + QStringLiteral("/hh-14"));
    ASSERT_TRUE(QDir().mkpath(hour));
    // Two seconds each: an 18-byte format chunk, and 16-bit frames.
    const QString longFormat = QDir(hour).filePath(QStringLiteral("1_08-17-2012_14-30-12.wav"));
    const QString wideFrames = QDir(hour).filePath(QStringLiteral("1_08-17-2012_14-40-00.wav"));
    ASSERT_TRUE(writeBytes(longFormat, recordingBytes(11025, 22050, 1, 18)));
    ASSERT_TRUE(writeBytes(wideFrames, recordingBytes(8000, 32000, 2)));

    const QJsonArray recordings = archiveDayJson(folder.filePath(day), day, {});
    ASSERT_EQ(recordings.size(), 2);
    QStringList fields;
    EXPECT_EQ(recordings.at(0).toObject().value(QStringLiteral("sekunden")).toDouble(),
              readRecordingLength(wideFrames, fields));
    EXPECT_EQ(recordings.at(1).toObject().value(QStringLiteral("sekunden")).toDouble(),
              readRecordingLength(longFormat, fields));
    EXPECT_EQ(recordings.at(1).toObject().value(QStringLiteral("sekunden")).toDouble(), 2.0);
}

} // namespace
} // namespace kestrova::test
