#include "ui/Colors.h"
#include "ui/ControlEvents.h"
#include "ui/FormGeometry.h"
#include "ui/LabelButton.h"
#include "ui/WaveformView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

// ---- colours -------------------------------------------------------------------------------

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

// ---- label buttons -------------------------------------------------------------------------

TEST(LabelButtons, PressedAndReleasedLooks) {
    LabelButton button(QStringLiteral("Auto-CQ"));
    EXPECT_EQ(button.border(), LabelBorder::Flat);
    EXPECT_EQ(button.frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(isPressed(&button));

    showPressed(&button);
    EXPECT_TRUE(isPressed(&button));
    EXPECT_EQ(button.frameShape(), QFrame::Panel);
    EXPECT_EQ(button.frameShadow(), QFrame::Sunken);
    EXPECT_EQ(backColor(&button), kColorLightGreen);

    showReleased(&button);
    EXPECT_FALSE(isPressed(&button));
    EXPECT_EQ(button.frameShadow(), QFrame::Raised);
    EXPECT_EQ(backColor(&button), kColorButtonFace);

    button.setBorder(LabelBorder::Hover);
    EXPECT_FALSE(isPressed(&button));
    EXPECT_NE(button.frameShape(), QFrame::Panel);
    EXPECT_NE(button.frameShape(), QFrame::NoFrame);
}

// ---- mouse ---------------------------------------------------------------------------------

struct MouseLog {
    std::vector<QString> entries;
    explicit MouseLog(MouseEvents* m) {
        QObject::connect(m, &MouseEvents::mouseDown, [this](int b, int s, int x, int y) {
            entries.push_back(QStringLiteral("down %1 %2 %3,%4").arg(b).arg(s).arg(x).arg(y));
        });
        QObject::connect(m, &MouseEvents::mouseUp, [this](int b, int s, int x, int y) {
            entries.push_back(QStringLiteral("up %1 %2 %3,%4").arg(b).arg(s).arg(x).arg(y));
        });
        QObject::connect(m, &MouseEvents::clicked, [this] { entries.push_back(QStringLiteral("click")); });
        QObject::connect(m, &MouseEvents::doubleClicked,
                         [this] { entries.push_back(QStringLiteral("dbl")); });
    }
};

TEST(MouseEventsTest, ButtonsShiftStateAndPositionInOldCodes) {
    QLabel label(QStringLiteral("x"));
    label.resize(100, 40);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    MouseEvents* mouse = watchMouse(&label);
    EXPECT_EQ(watchMouse(&label), mouse);
    MouseLog log(mouse);

    QTest::mouseClick(&label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
    QTest::mouseClick(&label, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(30, 5));
    QTest::mousePress(&label, Qt::MiddleButton, Qt::AltModifier, QPoint(1, 2));
    QTest::mouseRelease(&label, Qt::MiddleButton, Qt::AltModifier, QPoint(1, 2));

    const std::vector<QString> expected{"down 1 0 10,20", "up 1 0 10,20", "click",     "down 2 3 30,5",
                                        "up 2 3 30,5",    "down 4 4 1,2", "up 4 4 1,2"};
    EXPECT_EQ(log.entries, expected);
}

TEST(MouseEventsTest, ReleaseOutsideIsNoClickAndDoubleClickIsReported) {
    QLabel label;
    label.resize(50, 50);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    MouseLog log(watchMouse(&label));

    QTest::mousePress(&label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(80, 5));
    EXPECT_EQ(log.entries, (std::vector<QString>{"down 1 0 5,5", "up 1 0 80,5"}));

    log.entries.clear();
    QTest::mouseDClick(&label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_NE(std::find(log.entries.begin(), log.entries.end(), QStringLiteral("dbl")), log.entries.end());
}

TEST(MouseEventsTest, ListHasSelectedTheClickedRowWhenMouseDownFires) {
    QListWidget list;
    list.addItems({"a.wav", "b.wav", "c.wav", "d.wav"});
    list.resize(150, 120);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.setCurrentRow(0);
    MouseEvents* mouse = watchMouse(list.viewport());

    int rowAtDown = -1;
    int rowAtUp = -1;
    QObject::connect(mouse, &MouseEvents::mouseDown,
                     [&](int, int, int, int) { rowAtDown = list.currentRow(); });
    QObject::connect(mouse, &MouseEvents::mouseUp, [&](int, int, int, int) { rowAtUp = list.currentRow(); });
    QSignalSpy clicked(mouse, &MouseEvents::clicked);
    QSignalSpy itemClicked(&list, &QListWidget::itemClicked);

    const QPoint third = list.visualItemRect(list.item(2)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, third);
    EXPECT_EQ(rowAtDown, 2);
    EXPECT_EQ(rowAtUp, 2);
    EXPECT_EQ(clicked.count(), 1);
    // The list itself still got the click exactly once.
    EXPECT_EQ(itemClicked.count(), 1);
}

TEST(MouseEventsTest, ButtonStillClicksExactlyOnce) {
    QPushButton button(QStringLiteral("Stop"));
    button.resize(80, 24);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    MouseEvents* mouse = watchMouse(&button);
    QSignalSpy buttonClicked(&button, &QPushButton::clicked);
    bool downWhilePressed = false;
    QObject::connect(mouse, &MouseEvents::mouseDown,
                     [&](int, int, int, int) { downWhilePressed = button.isDown(); });
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(buttonClicked.count(), 1);
    EXPECT_TRUE(downWhilePressed);
}

// ---- keys ----------------------------------------------------------------------------------

TEST(KeyEventsTest, KeyCodesInOldStyle) {
    EXPECT_EQ(keyCode(Qt::Key_A), 65);
    EXPECT_EQ(keyCode(Qt::Key_Z), 90);
    EXPECT_EQ(keyCode(Qt::Key_5), 53);
    EXPECT_EQ(keyCode(Qt::Key_Space), 32);
    EXPECT_EQ(keyCode(Qt::Key_Return), 13);
    EXPECT_EQ(keyCode(Qt::Key_Enter), 13);
    EXPECT_EQ(keyCode(Qt::Key_Escape), 27);
    EXPECT_EQ(keyCode(Qt::Key_Adiaeresis), 0xC4);
    // Special keys must not pose as printable characters.
    EXPECT_EQ(keyCode(Qt::Key_Shift), 16);
    EXPECT_EQ(keyCode(Qt::Key_F1), 112);
    EXPECT_EQ(keyCode(Qt::Key_Left), 37);
    EXPECT_EQ(keyCode(Qt::Key_Delete), 46);
    EXPECT_EQ(keyCode(Qt::Key_Super_L), 0);

    QLineEdit edit;
    KeyEvents* keys = watchKeys(&edit);
    EXPECT_EQ(watchKeys(&edit), keys);
    QSignalSpy down(keys, &KeyEvents::keyDown);
    QSignalSpy up(keys, &KeyEvents::keyUp);
    // QTest presses Shift itself first, as a user would.
    QTest::keyClick(&edit, Qt::Key_S, Qt::ShiftModifier);
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down.at(0).at(0).toInt(), 16);
    EXPECT_EQ(down.at(1).at(0).toInt(), 83);
    EXPECT_EQ(down.at(1).at(1).toInt(), 1);
    EXPECT_EQ(up.count(), 2);
    // Reported, not swallowed.
    EXPECT_EQ(edit.text().toUpper(), "S");
}

class KeyPressFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        combo.setEditable(true);
        combo.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
        combo.setFocus();
    }
    QComboBox combo;
};

TEST_F(KeyPressFilterTest, ReplacesAndSwallowsTypedCharacters) {
    std::vector<int> seen;
    KeyPressFilter filter(&combo, [&](int& key) {
        seen.push_back(key);
        if (key >= 'a' && key <= 'z') {
            key -= 32;
        } else if (key == 'x' - 32 || (key >= '0' && key <= '9')) {
            key = 0;
        }
    });
    QTest::keyClicks(&combo, "r1tX");
    EXPECT_EQ(combo.currentText(), "RT");
    EXPECT_EQ(seen, (std::vector<int>{'r', '1', 't', 'X'}));

    seen.clear();
    QTest::keyClick(&combo, Qt::Key_Return);
    EXPECT_EQ(seen, std::vector<int>{13});
}

TEST_F(KeyPressFilterTest, ControlKeysPassUntouched) {
    int calls = 0;
    KeyPressFilter filter(&combo, [&](int& key) {
        ++calls;
        key = 0;
    });
    combo.setEditText(QStringLiteral("DTR"));
    combo.lineEdit()->selectAll();
    QTest::keyClick(&combo, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&combo, Qt::Key_End);
    QTest::keyClick(&combo, Qt::Key_Backspace);
    EXPECT_EQ(combo.currentText(), "DT");
    EXPECT_EQ(calls, 0);
}

// ---- twips ---------------------------------------------------------------------------------

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

// ---- waveform ------------------------------------------------------------------------------

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
