// Ages, list entries and the deletion guard of recordings.
#include "base/archive/RecordingRules.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(RecordingAge, CountsCalendarDaysOverMonthsAndYears) {
    EXPECT_EQ(recordingAge(QStringLiteral("1_02-28-2027_23-59-52.wav"), QDate(2027, 3, 1)), 1);
    EXPECT_EQ(recordingAge(QStringLiteral("1_07-31-2012_10-00-00.wav"), QDate(2012, 8, 1)), 1);
    EXPECT_EQ(recordingAge(QStringLiteral("1_08-17-2012_10-00-00.wav"), QDate(2012, 8, 17)), 0);
    EXPECT_EQ(recordingAge(QStringLiteral("1_12-30-2012_10-00-00.wav"), QDate(2013, 1, 3)), 4);
    EXPECT_EQ(recordingAge(QStringLiteral("1_02-30-2012_10-00-00.wav"), QDate(2012, 3, 3)), 2);
    EXPECT_EQ(recordingAge(QStringLiteral("1_08-1x-2012_10-00-00.wav"), QDate(2012, 8, 17)), std::nullopt);
    EXPECT_EQ(recordingAge(QStringLiteral("1_note.txt"), QDate(2012, 8, 17)), std::nullopt);
}

TEST(ListEntry, IsNameTwoBlanksAndTenTimesTheLength) {
    EXPECT_EQ(listEntryText(QStringLiteral("1_08-17-2012_14-30-12.wav"), 25.0),
              QStringLiteral("1_08-17-2012_14-30-12.wav  250.0"));
    EXPECT_EQ(listEntryText(QStringLiteral("n"), 4.53), QStringLiteral("n  45.3"));
    EXPECT_EQ(listEntryText(QStringLiteral("n"), 1234.5), QStringLiteral("n  12345.0"));
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
