#include "gui/ui/FormGeometry.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(FormGeometryTest, TwipsRoundTripAndMove) {
    QWidget window;
    window.setFixedSize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int twips : {2130, 3975}) {
        setHeightTwips(&window, twips);
        EXPECT_EQ(heightTwips(&window), twips);
        EXPECT_EQ(window.frameGeometry().height(), twips / 15);
    }
    // Not a whole pixel: nearest.
    setHeightTwips(&window, 2137);
    EXPECT_EQ(heightTwips(&window), 2130);
    setHeightTwips(&window, 2143);
    EXPECT_EQ(heightTwips(&window), 2145);

    moveTwips(&window, 1500, 3000);
    EXPECT_EQ(window.pos(), QPoint(100, 200));
    EXPECT_EQ(leftTwips(&window), 1500);
    EXPECT_EQ(topTwips(&window), 3000);
    setLeftTwips(&window, 750);
    setTopTwips(&window, 1515);
    EXPECT_EQ(window.pos(), QPoint(50, 101));
    EXPECT_EQ(widthTwips(&window), window.frameGeometry().width() * 15);
}

} // namespace
} // namespace kestrova
