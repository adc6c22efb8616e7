#include "base/archive/ArchiveFollower.h"

#include "RecordingFiles.h"
#include "support/FakeClock.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace kestrova {
namespace {

using test::FakeClock;
using Listed = std::vector<std::pair<std::string, double>>;

Listed listed(const ListedRecordings& list) {
    Listed entries;
    for (std::size_t i = 0; i < list.size(); ++i) {
        entries.emplace_back(list.nameAt(i).toStdString(), list.secondsAt(i));
    }
    return entries;
}

// Several circuits' documentation folders followed from one place, as a control room does.
class ArchiveFollowerTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return QDir(dir.path()).filePath(relative); }
    void file(const QString& relative, int seconds) {
        QDir().mkpath(QFileInfo(path(relative)).path());
        ASSERT_TRUE(test::writeBytes(path(relative), test::recordingOfSeconds(seconds)));
    }
    // Every entry below the folder with its size and time: what a writer would change.
    QStringList snapshot() const {
        QStringList entries;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            entries << info.filePath() + QString::number(info.size()) +
                           info.lastModified().toString(Qt::ISODateWithMs);
        }
        entries.sort();
        return entries;
    }

    QTemporaryDir dir;
    FakeClock clock;
};

TEST_F(ArchiveFollowerTest, FollowsEachCircuitsNewRecordingsAndTheNewDayAfterMidnight) {
    clock.set({QDate(2026, 12, 9), QTime(23, 59, 58)});
    file(QStringLiteral("k1/W/1_12-09-2026_23-59-50.wav"), 3);
    file(QStringLiteral("k1/W/2_12-09-2026_23-59-51.wav"), 3); // another circuit's, left out
    file(QStringLiteral("k1/Fk_1/Ja_2026/Mo-12/Tg-09/hh-23/1_12-09-2026_23-59-50.wav"), 3);
    QDir().mkpath(path(QStringLiteral("k2/W")));
    ArchiveFollower one(ArchiveReader(path(QStringLiteral("k1")), QStringLiteral("1")), clock);
    ArchiveFollower two(ArchiveReader(path(QStringLiteral("k2")), QStringLiteral("2")), clock);
    one.look();
    two.look();
    ASSERT_EQ(listed(one.recordings()), (Listed{{"1_12-09-2026_23-59-50.wav", 3.0}}));
    EXPECT_TRUE(two.recordings().empty());

    clock.set({QDate(2026, 12, 10), QTime(0, 0, 2)});
    QSignalSpy twoChanged(&two, &ArchiveFollower::changed);
    file(QStringLiteral("k2/W/2_12-10-2026_00-00-01.wav"), 4);
    ASSERT_TRUE(twoChanged.wait(5000));
    EXPECT_EQ(listed(two.recordings()), (Listed{{"2_12-10-2026_00-00-01.wav", 4.0}}));

    // A copy may bring the dated tree alone: the new day's folders are watched as they come.
    QSignalSpy oneChanged(&one, &ArchiveFollower::changed);
    QDir().mkpath(path(QStringLiteral("k1/Fk_1/Ja_2026/Mo-12/Tg-10")));
    ASSERT_TRUE(oneChanged.wait(5000));
    file(QStringLiteral("k1/Fk_1/Ja_2026/Mo-12/Tg-10/hh-00/1_12-10-2026_00-00-01.wav"), 2);
    ASSERT_TRUE(oneChanged.wait(5000));
    const QStringList watched = one.watchedFolders();
    EXPECT_TRUE(watched.contains(path(QStringLiteral("k1/Fk_1/Ja_2026/Mo-12/Tg-10/hh-00"))));
    EXPECT_FALSE(watched.contains(path(QStringLiteral("k1/Fk_1/Ja_2026/Mo-12/Tg-09/hh-23"))));
}

TEST_F(ArchiveFollowerTest, OnlyReadsAndTellsOfAMissingFolderUntilItComes) {
    clock.set({QDate(2026, 12, 9), QTime(12, 0, 0)});
    // Old and too short: its own recorder deletes it, a reader never does.
    file(QStringLiteral("k1/W/1_01-02-2010_10-00-00.wav"), 0);
    file(QStringLiteral("k1/W/1_12-09-2026_11-00-00.wav"), 5);
    const QStringList before = snapshot();
    ArchiveFollower present(ArchiveReader(path(QStringLiteral("k1")), QStringLiteral("1")), clock);
    present.look();
    EXPECT_EQ(present.recordings().size(), 2U);
    EXPECT_EQ(snapshot(), before);

    ArchiveFollower missing(ArchiveReader(path(QStringLiteral("fehlt")), QStringLiteral("3")), clock);
    missing.look();
    EXPECT_TRUE(missing.problem().contains(QStringLiteral("gibt es nicht")));
    EXPECT_EQ(missing.watchedFolders(), QStringList{dir.path()});
    QSignalSpy changed(&missing, &ArchiveFollower::changed);
    QDir().mkpath(path(QStringLiteral("fehlt/W")));
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_TRUE(missing.problem().isEmpty());
    file(QStringLiteral("fehlt/W/3_12-09-2026_12-00-00.wav"), 1);
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(missing.recordings().size(), 1U);
    EXPECT_EQ(snapshot().filter(QStringLiteral("/k1")), before);
}

} // namespace
} // namespace kestrova
