// The list pass over a folder as the file system has it, and the moment keys it
// sorts by.
#include "base/archive/ListPass.h"

#include "archive/RecordingFiles.h"
#include "base/archive/RecordingName.h"
#include "support/LocalZone.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(MomentKey, RefusesAndOrdersExactlyAsTheMoment) {
    const QStringList names{QStringLiteral("1_08-17-2012_14-30-12.wav"),
                            QStringLiteral("1_12-31-2011_23-59-59.wav"),
                            QStringLiteral("long name_01-01-2013_00-00-00.wav"),
                            QStringLiteral("ä_02-29-2012_10-00-00.wav"),
                            QStringLiteral("1_02-30-2012_10-00-00.wav"),
                            QStringLiteral("1_08-17-0000_14-30-12.wav"),
                            QStringLiteral("1_08-17-2012_24-00-00.wav"),
                            QStringLiteral("1_08-17-2012_14-60-00.wav"),
                            QStringLiteral("1_08-1x-2012_14-30-12.wav"),
                            QStringLiteral("_08-17-2012_14-30-12.wav"),
                            QStringLiteral("1_08-17-2012_14-30-12.WAV"),
                            QStringLiteral("1_08-17-2012_14-30-12.wav.bak"),
                            QStringLiteral("1_08/17-2012_14-30-12.wav"),
                            QStringLiteral("1_08-17-2012-14-30-12.wav"),
                            QStringLiteral("a\nb_08-17-2012_14-30-12.wav"),
                            QStringLiteral("1_08-17-2012_14-30-12.wav\n"),
                            QStringLiteral("\n_08-17-2012_14-30-12.wav"),
                            QStringLiteral("1_08-17-2012_14-30-1\u0662.wav"),
                            QString(),
                            QStringLiteral("x.wav")};
    for (const QString& a : names) {
        const std::optional<QDateTime> moment = recordingMoment(a);
        const std::optional<qint64> key = recordingMomentKey(a);
        ASSERT_EQ(key.has_value(), moment.has_value()) << a.toStdString();
        for (const QString& b : names) {
            if (moment && recordingMoment(b)) {
                EXPECT_EQ(*key < *recordingMomentKey(b), *moment < *recordingMoment(b))
                    << a.toStdString() << " " << b.toStdString();
            }
        }
    }
}

class ListPassTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(folder())); }
    QString folder() const { return dir.filePath(QStringLiteral("W")); }
    QString path(const QString& name) const { return folder() + QLatin1Char('/') + name; }
    void put(const QString& name, const QByteArray& bytes) const {
        ASSERT_TRUE(writeBytes(path(name), bytes));
    }

    ListPassResult pass(QDate today = QDate(2012, 8, 17)) const {
        return runListPass({folder(), QStringLiteral("1"), today, 3, 200, {}});
    }

    QTemporaryDir dir;
};

TEST_F(ListPassTest, ListsByTheRulesInTheOrderOfTheMoments) {
    put(QStringLiteral("1_08-17-2012_14-30-12.wav"), recordingOfSeconds(25));
    put(QStringLiteral("1_08-16-2012_09-00-00.wav"), recordingBytes(8000, 240000, 1, 18));
    put(QStringLiteral("1_08-17-2012_15-00-00.wav"), recordingOfSeconds(20)); // not longer than the minimum
    put(QStringLiteral("1_08-14-2012_15-00-00.wav"), recordingOfSeconds(25)); // three days old
    put(QStringLiteral("1_08-17-2012_16-00-00.wav"), recordingBytes(11025, 11025, 1, 20));
    put(QStringLiteral("2_08-17-2012_15-00-00.wav"), recordingOfSeconds(5)); // another circuit
    put(QStringLiteral("1_x.wv"), QByteArray());                             // no recording's name
    put(QStringLiteral("1_note.txt"), QByteArray("text"));

    const ListPassResult result = pass();
    ASSERT_EQ(result.listed.size(), 2u);
    EXPECT_EQ(result.listed[0].name, QStringLiteral("1_08-16-2012_09-00-00.wav"));
    EXPECT_DOUBLE_EQ(result.listed[0].seconds, 30.0);
    EXPECT_EQ(result.listed[1].name, QStringLiteral("1_08-17-2012_14-30-12.wav"));
    EXPECT_DOUBLE_EQ(result.listed[1].seconds, 25.0);
    // Names without a moment come first, by name.
    EXPECT_EQ(result.deleteList, (QStringList{path(QStringLiteral("1_note.txt")),
                                              path(QStringLiteral("1_08-14-2012_15-00-00.wav")),
                                              path(QStringLiteral("1_08-17-2012_15-00-00.wav")),
                                              path(QStringLiteral("1_08-17-2012_16-00-00.wav"))}));
    EXPECT_EQ(result.lastLookedAt, path(QStringLiteral("1_08-17-2012_16-00-00.wav")));
    ASSERT_TRUE(result.headerFields);
    EXPECT_EQ(result.headerFields->at(4), QStringLiteral("20"));
    EXPECT_EQ(removeRecordings(result.deleteList, folder()), result.deleteList);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 4);
}

// On 25 October 2026 Berlin's clock shows 02:00 to 03:00 twice, first in summer
// time (UTC+2), then in winter time (UTC+1): there the filing tells the order.
TEST_F(ListPassTest, TheHourTheClockRepeatsGoesByFiling) {
    const LocalZone berlin("Europe/Berlin");
    const auto filedAt = [](int hour, int minute) {
        return QDateTime(QDate(2026, 10, 25), QTime(hour, minute), Qt::UTC);
    };
    const QList<QPair<QString, QDateTime>> inListOrder{
        {QStringLiteral("1_10-25-2026_01-59-00.wav"), filedAt(0, 0)},
        {QStringLiteral("1_10-25-2026_02-30-00.wav"), filedAt(0, 31)}, // summer time
        {QStringLiteral("1_10-25-2026_02-00-16.wav"), filedAt(1, 1)},  // winter time, moved on a second
        {QStringLiteral("1_10-25-2026_02-10-00.wav"), filedAt(1, 11)},
        {QStringLiteral("1_10-25-2026_03-00-05.wav"), filedAt(2, 1)}};
    for (const auto& [name, filed] : inListOrder) {
        ASSERT_TRUE(writeFiled(path(name), 25, filed));
    }

    const ListPassResult result = pass(QDate(2026, 10, 25));
    QStringList listed;
    for (std::size_t i = 0; i < result.listed.size(); ++i) {
        listed << result.listed.nameAt(i);
    }
    QStringList expected;
    for (const auto& entry : inListOrder) {
        expected << entry.first;
    }
    EXPECT_EQ(listed, expected);
}

TEST_F(ListPassTest, ReadsRegularFilesAndLinksToThemAndNothingElse) {
    const QString outside = dir.filePath(QStringLiteral("elsewhere.wav"));
    ASSERT_TRUE(writeBytes(outside, recordingOfSeconds(25)));
    ASSERT_TRUE(QFile::link(outside, path(QStringLiteral("1_08-17-2012_10-00-00.wav"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone.wav")),
                            path(QStringLiteral("1_08-17-2012_11-00-00.wav"))));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("1_08-17-2012_12-00-00.wav"))));
    if (QProcess::execute(QStringLiteral("mkfifo"), {path(QStringLiteral("1_08-17-2012_13-00-00.wav"))}) !=
        0) {
        GTEST_SKIP() << "mkfifo not available";
    }

    // A pipe without a writer would block the pass for good.
    const ListPassResult result = pass();
    ASSERT_EQ(result.listed.size(), 1u);
    EXPECT_EQ(result.listed[0].name, QStringLiteral("1_08-17-2012_10-00-00.wav"));
    EXPECT_TRUE(result.deleteList.isEmpty());
}

// Ages count calendar days: the caption promises the recordings of the last days.
// A name whose date cannot be read is never due by its age; an impossible date
// rolls on into the month after, as the day count always took it.
TEST_F(ListPassTest, AgesByCalendarDaysAndNeverByADateItCannotRead) {
    const QStringList listed{QStringLiteral("1_0x-28-2027_10-00-00.wav"),
                             QStringLiteral("1_02-28-2027_23-59-52.wav")};
    const QStringList due{QStringLiteral("1_13-01-2026_10-00-00.wav"),
                          QStringLiteral("1_02-26-2027_10-00-00.wav")};
    for (const QString& name : listed + due) {
        put(name, recordingOfSeconds(25));
    }
    const ListPassResult result = runListPass({folder(), QStringLiteral("1"), QDate(2027, 3, 1), 3, 200, {}});
    ASSERT_EQ(result.listed.size(), 2u);
    EXPECT_EQ(result.listed[0].name, listed[0]);
    EXPECT_EQ(result.listed[1].name, listed[1]);
    EXPECT_EQ(result.deleteList, (QStringList{path(due[0]), path(due[1])}));
}

TEST_F(ListPassTest, AMissingFolderListsNothing) {
    const ListPassResult result = runListPass(
        {dir.filePath(QStringLiteral("none")), QStringLiteral("1"), QDate(2012, 8, 17), 3, 200, {}});
    EXPECT_TRUE(result.listed.empty());
    EXPECT_TRUE(result.deleteList.isEmpty());
    EXPECT_FALSE(result.headerFields);
}

} // namespace
} // namespace kestrova::test
