#include "base/common/NumericValue.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(NumericValue, ReadsTheNumberAtTheStartAfterBlanks) {
    EXPECT_EQ(numericValue(QStringLiteral("67")), 67);
    EXPECT_EQ(numericValue(QStringLiteral("  20 s")), 20);
    EXPECT_DOUBLE_EQ(numericValue(QStringLiteral("2.5")), 2.5);
    EXPECT_DOUBLE_EQ(numericValue(QStringLiteral(".5x")), 0.5);
    EXPECT_EQ(numericValue(QStringLiteral("-3")), -3);
    EXPECT_EQ(numericValue(QStringLiteral("1-")), 1);
    EXPECT_EQ(numericValue(QStringLiteral("6 ")), 6);
}

TEST(NumericValue, IsZeroWithoutALeadingNumber) {
    EXPECT_EQ(numericValue(QString()), 0);
    EXPECT_EQ(numericValue(QStringLiteral("abc")), 0);
    EXPECT_EQ(numericValue(QStringLiteral("-")), 0);
    EXPECT_EQ(numericValue(QStringLiteral("x12")), 0);
    EXPECT_EQ(numericValue(QStringLiteral("2,5")), 2); // a comma is no decimal point
}

TEST(NumericValue, RoundsHalvesToEvenAndTakesWholePartsDownwards) {
    EXPECT_EQ(roundToWhole(0.5), 0);
    EXPECT_EQ(roundToWhole(1.5), 2);
    EXPECT_EQ(roundToWhole(2.6), 3);
    EXPECT_EQ(wholePart(32767.5), 32767);
    EXPECT_EQ(wholePart(-0.5), -1);
    EXPECT_EQ(numberText(67), QStringLiteral("67"));
    EXPECT_EQ(numberText(7.5), QStringLiteral("7.5"));
}

} // namespace
} // namespace kestrova
