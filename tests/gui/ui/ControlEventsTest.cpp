#include "gui/ui/ControlEvents.h"

#include "base/archive/RecordingListModel.h"
#include "gui/ui/RecordingListView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace kestrova {
namespace {

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
    RecordingListModel entries;
    RecordingListView list;
    list.setModel(&entries);
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
        entries.append({QString::fromLatin1(name), 1});
    }
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
    QSignalSpy itemClicked(&list, &QAbstractItemView::clicked);

    const QPoint third = list.visualRect(entries.index(2)).center();
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

} // namespace
} // namespace kestrova
