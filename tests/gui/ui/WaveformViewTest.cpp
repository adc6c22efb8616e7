#include "gui/ui/WaveformView.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(WaveformViewTest, LinesIncludeBothEndsAndClearBlanks) {
    WaveformView view;
    EXPECT_EQ(view.image().size(), QSize(296, 65));
    EXPECT_EQ(QColor(view.image().pixel(0, 0)), QColor(Qt::black));
    view.drawLine({2, 10}, {8, 10}, QColor(0, 255, 0));
    for (int x = 2; x <= 8; ++x) {
        EXPECT_EQ(QColor(view.image().pixel(x, 10)), QColor(0, 255, 0)) << x;
    }
    EXPECT_EQ(QColor(view.image().pixel(9, 10)), QColor(Qt::black));
    EXPECT_EQ(QColor(view.image().pixel(1, 10)), QColor(Qt::black));
    view.drawLine({295, 0}, {400, 64}, Qt::red); // partly outside: clipped, no crash
    view.clear();
    EXPECT_EQ(QColor(view.image().pixel(5, 10)), QColor(Qt::black));
    EXPECT_NE(view.mouseEvents(), nullptr);
}

} // namespace
} // namespace kestrova
