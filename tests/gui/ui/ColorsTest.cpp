#include "gui/ui/Colors.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(Colors, RawValuesAreBlueGreenRed) {
    EXPECT_EQ(toQColor(kColorRed), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(kColorDarkRed), QColor(160, 0, 0));
    EXPECT_EQ(toQColor(kColorLightGreen), QColor(128, 255, 0));
    EXPECT_EQ(toQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(toQColor(kColorIdleLamp), QColor(0xBF, 0xBF, 0x7F));
}

TEST(Colors, SystemColoursComeFromThePalette) {
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(toQColor(kColorButtonFace), pal.color(QPalette::Button));
    EXPECT_EQ(toQColor(kColorWindowText), pal.color(QPalette::WindowText));
    EXPECT_EQ(toQColor(kColorUndefinedSystem), QColor(128, 128, 128));
}

TEST(Colors, WidgetsRememberTheRawValueAndArePainted) {
    QLabel label;
    QCheckBox check;
    EXPECT_EQ(backColor(&label), kColorButtonFace);
    EXPECT_EQ(foreColor(&label), kColorWindowText);

    setBackColor(&label, kColorRed);
    setForeColor(&check, kColorDarkRed);
    setBackColor(&check, kColorButtonFace);
    EXPECT_EQ(backColor(&label), kColorRed);
    EXPECT_EQ(foreColor(&check), kColorDarkRed);
    EXPECT_EQ(backColor(&check), kColorButtonFace);
    EXPECT_TRUE(label.autoFillBackground());
    EXPECT_EQ(label.palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(check.palette().color(QPalette::WindowText), QColor(160, 0, 0));

    // What is on screen, not only the palette.
    label.resize(20, 10);
    const QImage shot = label.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(10, 5)), QColor(255, 0, 0));
}

} // namespace
} // namespace kestrova
