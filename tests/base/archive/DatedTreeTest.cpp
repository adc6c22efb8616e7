// The dated archive's folders.
#include "base/archive/DatedTree.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(DatedArchiveFolder, TakesCircuitYearMonthDayAndHourFromTheName) {
    EXPECT_EQ(datedArchiveFolder(QStringLiteral("/d/"), QStringLiteral("1_08-17-2012_14-30-12.wav")),
              QStringLiteral("/d/Fk_1/Ja_2012/Mo-08/Tg-17/hh-14"));
}

} // namespace
} // namespace kestrova::test
