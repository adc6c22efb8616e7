#include "base/common/ListedRecordings.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(ListedRecordings, KeepsEveryNameExactlyAndFindsTheFirstAndTheLast) {
    const QString umlaut = QStringLiteral("Ä_08-17-2012_14-30-12.wav");
    const QString astral = QStringLiteral("1_\U0001F4FB.wav");
    ListedRecordings list{{umlaut, 25.5}, {QString(), 0}, {astral, 3}, {umlaut, 7}};
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], (ListedRecording{umlaut, 25.5}));
    EXPECT_EQ(list.nameAt(1), QString());
    EXPECT_EQ(list[2], (ListedRecording{astral, 3}));
    EXPECT_EQ(list.indexOf(umlaut), 0);
    EXPECT_EQ(list.lastIndexOf(umlaut), 3);
    // A name that only begins like a listed one is another name.
    EXPECT_EQ(list.indexOf(umlaut.chopped(1)), -1);
    EXPECT_FALSE(list.contains(QStringLiteral("x")));
}

TEST(ListedRecordings, ACopyChangesOnItsOwn) {
    ListedRecordings list{{QStringLiteral("1_a.wav"), 1}};
    ListedRecordings copy = list;
    EXPECT_EQ(copy, list);
    copy.append({QStringLiteral("1_b.wav"), 2});
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(copy.nameAt(1), QStringLiteral("1_b.wav"));
    EXPECT_NE(copy, list);
    ListedRecordings same{{QStringLiteral("1_a.wav"), 1}, {QStringLiteral("1_b.wav"), 2}};
    EXPECT_EQ(copy, same);
    same.append({QStringLiteral("1_c.wav"), 3});
    same.keepOnly({2, 0});
    EXPECT_EQ(same, (ListedRecordings{{QStringLiteral("1_c.wav"), 3}, {QStringLiteral("1_a.wav"), 1}}));
    same.append({QStringLiteral("1_d.wav"), 4});
    EXPECT_EQ(same.nameAt(2), QStringLiteral("1_d.wav"));
}

} // namespace
} // namespace kestrova
