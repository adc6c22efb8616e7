#include "gui/ui/ValueBar.h"

#include "gui/ui/Colors.h"
#include "gui/ui/Lamp.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST(ValueBars, KeepTheValueRulesOfAProgressBar) {
    ValueBar bar;
    EXPECT_EQ(bar.value(), -1);
    bar.setValue(40);
    bar.setValue(101); // outside: ignored
    EXPECT_EQ(bar.value(), 40);
    bar.setRange(50, 60); // the value falls outside: reset below the minimum
    EXPECT_EQ(bar.value(), 49);
    bar.setMaximum(20);
    EXPECT_EQ(bar.minimum(), 20);
    EXPECT_EQ(bar.maximum(), 20);
}

TEST(ValueBars, RepaintOnlyWhenTheBarMovesVisibly) {
    ValueBar bar;
    bar.setRange(0, 10000);
    bar.resize(150, 16);
    bar.show();
    PaintCounter counter;
    bar.installEventFilter(&counter);
    bar.setValue(5000);
    QCoreApplication::processEvents();
    const int first = counter.paints;
    EXPECT_GE(first, 1);
    bar.setValue(5001); // well under a pixel of the bar
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, first);
    EXPECT_EQ(bar.value(), 5001);
    bar.setValue(10000); // the end
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, first);
}

TEST(Lamps, ShowTheirColourWithoutAPaletteOfTheirOwn) {
    Lamp lamp;
    lamp.resize(30, 14);
    setBackColor(&lamp, kColorRed);
    EXPECT_EQ(backColor(&lamp), kColorRed);
    const QImage picture = lamp.grab().toImage();
    EXPECT_EQ(picture.pixelColor(15, 7), toQColor(kColorRed));
    // Each colour's look is kept for the lamp's size: a bigger lamp has it drawn anew.
    lamp.resize(40, 20);
    setBackColor(&lamp, kColorDarkRed);
    setBackColor(&lamp, kColorRed);
    EXPECT_EQ(lamp.grab().toImage().pixelColor(35, 15), toQColor(kColorRed));
    // So is a new frame, and a palette that shades the edge anew.
    lamp.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette edge = lamp.palette();
    edge.setColor(QPalette::Dark, Qt::blue);
    lamp.setPalette(edge);
    EXPECT_EQ(lamp.grab().toImage().pixelColor(0, 0), QColor(Qt::blue));
    edge.setColor(QPalette::Dark, Qt::green);
    lamp.setPalette(edge);
    EXPECT_EQ(lamp.grab().toImage().pixelColor(0, 0), QColor(Qt::green));
}

} // namespace
} // namespace kestrova
