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

} // namespace
} // namespace kestrova
