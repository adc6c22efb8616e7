#include "gui/ui/ClockLabel.h"

#include <QFont>
#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

namespace kestrova {
namespace {

// The columns from the first to the last one holding any of the text's ink.
std::pair<int, int> inkedColumns(QWidget& label) {
    const QImage picture = label.grab().toImage();
    const QRgb background = picture.pixel(picture.width() - 1, 0);
    int first = picture.width();
    int last = -1;
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = 0; y < picture.height(); ++y) {
            if (picture.pixel(x, y) != background) {
                first = std::min(first, x);
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

TEST(ClockLabels, PlaceTheirTextWhereAPlainLabelWould) {
    const QString text = QStringLiteral("17.08.2012 14:30:12");
    QLabel plain(text);
    ClockLabel clock(QStringLiteral("c"));
    for (QLabel* label : {&plain, static_cast<QLabel*>(&clock)}) {
        label->setFont(QFont(QStringLiteral("ARIAL"), 7));
        label->setAutoFillBackground(true);
        label->resize(140, 16);
    }
    clock.setText(text);
    const auto [plainFirst, plainLast] = inkedColumns(plain);
    const auto [clockFirst, clockLast] = inkedColumns(clock);
    ASSERT_LT(plainFirst, plainLast);
    EXPECT_NEAR(clockFirst, plainFirst, 1);
    EXPECT_NEAR(clockLast, plainLast, 2);
    EXPECT_EQ(clock.text(), text);
}

} // namespace
} // namespace kestrova
