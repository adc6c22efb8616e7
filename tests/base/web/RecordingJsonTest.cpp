#include "base/web/RecordingJson.h"

#include "archive/RecordingFiles.h"
#include "base/archive/RecordingLength.h"
#include "support/LocalZone.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
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

QStringList namesOf(const QJsonArray& recordings) {
    QStringList names;
    for (const QJsonValue& recording : recordings) {
        names << recording.toObject().value(QStringLiteral("name")).toString();
    }
    return names;
}

// In the hour Berlin's clock shows twice (25 October 2026, summer time first), the
// page goes by the filing as the list does.
TEST(RecordingJsonTest, TheHourTheClockRepeatsIsShownNewestFiledFirst) {
    const LocalZone berlin("Europe/Berlin");
    QTemporaryDir folder;
    const QString day = QStringLiteral("Fk_1/Ja_2026/Mo-10/Tg-25");
    const QString hour = folder.filePath(day + QStringLiteral("/hh-02"));
    ASSERT_TRUE(QDir().mkpath(hour));
    const QStringList filedInOrder{QStringLiteral("1_10-25-2026_02-30-00.wav"),
                                   QStringLiteral("1_10-25-2026_02-00-16.wav"),
                                   QStringLiteral("1_10-25-2026_02-10-00.wav")};
    const QDateTime first(QDate(2026, 10, 25), QTime(0, 31), Qt::UTC);
    for (int i = 0; i < filedInOrder.size(); ++i) {
        ASSERT_TRUE(writeFiled(QDir(hour).filePath(filedInOrder[i]), 2, first.addSecs(i * 1800LL)));
    }
    QStringList newestFirst = filedInOrder;
    std::reverse(newestFirst.begin(), newestFirst.end());
    EXPECT_EQ(namesOf(archiveDayJson(folder.filePath(day), day, {})), newestFirst);

    LiveStatus status;
    for (const QString& name : filedInOrder) {
        status.recordings.append({name, 2.0});
    }
    EXPECT_EQ(namesOf(listedRecordingsJson(status, QString(), {})), newestFirst);
}

} // namespace
} // namespace kestrova::test
