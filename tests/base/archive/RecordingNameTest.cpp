// Names of recordings.
#include "base/archive/RecordingName.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(RecordingName, HoldsCircuitMonthDayYearAndTimeWithLeadingZeros) {
    const QDateTime start(QDate(2012, 8, 1), QTime(9, 5, 7));
    EXPECT_EQ(makeRecordingName(1, start), QStringLiteral("1_08-01-2012_09-05-07.wav"));
    EXPECT_EQ(makeRecordingName(1, QDateTime(QDate(2012, 8, 17), QTime(14, 30, 12))),
              QStringLiteral("1_08-17-2012_14-30-12.wav"));
    EXPECT_EQ(makeRecordingName(0, QDateTime(QDate(2012, 12, 31), QTime(23, 59, 59))),
              QStringLiteral("0_12-31-2012_23-59-59.wav"));

    const QString twoDigitCircuit = makeRecordingName(12, start);
    EXPECT_EQ(twoDigitCircuit, QStringLiteral("12_08-01-2012_09-05-07.wav"));
    EXPECT_EQ(twoDigitCircuit.size(), 26);
}

} // namespace
} // namespace kestrova::test
