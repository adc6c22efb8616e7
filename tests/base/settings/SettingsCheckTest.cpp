// The form's check of its number fields.
#include "base/settings/SettingsCheck.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(CircuitNumberCheck, TakesOneDigitAndRefusesEveryOtherWayToWriteIt) {
    const NumberRule circuit{QStringLiteral("Funkkreis"), 0, 9, false, true, true};
    for (const char* digit : {"0", "1", "9"}) {
        EXPECT_TRUE(numberFieldRefusal(QString::fromLatin1(digit), circuit).isEmpty()) << digit;
    }
    for (const char* text : {"01", "+1", "1.0", " 1", "1 "}) {
        EXPECT_EQ(
            numberFieldRefusal(QString::fromLatin1(text), circuit),
            QStringLiteral("Im Feld \"Funkkreis\" steht \"%1\".\rErlaubt ist eine einzelne Ziffer von 0 bis "
                           "9.\r\rDie Einstellungen wurden nicht gespeichert.")
                .arg(QString::fromLatin1(text)));
    }
}

// A whole number above 0 starts at 1: the message must not offer the 0 it refuses.
TEST(MeterIntervalCheck, RefusingZeroStatesTheRangeItTakes) {
    const NumberRule interval{QStringLiteral("Pegel-Intervall"), 0, 60000, true, true, false};
    EXPECT_TRUE(numberFieldRefusal(QStringLiteral("1"), interval).isEmpty());
    EXPECT_TRUE(numberFieldRefusal(QStringLiteral("0"), interval)
                    .contains(QStringLiteral("\rErlaubt ist eine ganze Zahl von 1 bis 60000.\r")));
}

} // namespace
} // namespace kestrova
