// The main window's two heights under a window manager that frames the windows:
// the heights include the title bar and borders, also when set before the frame exists,
// and the notes above the status bar cover no control at either height.
#include "gui/app/MainMenu.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/StatusBar.h"
#include "support/ProgramFixture.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <memory>

namespace kestrova::test {
namespace {

constexpr int kWaitMs = 10'000;
constexpr int kShort = 2130;
constexpr int kTall = 3975;

bool framed(const QWidget& window) {
    return window.frameGeometry().height() > window.height();
}

// A window shown before the window manager runs may stay unframed for good, so
// a fresh one is tried until the window manager is there.
bool windowManagerFrames() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        auto probe = std::make_unique<QWidget>();
        probe->show();
        if (QTest::qWaitFor([&] { return framed(*probe); }, kWaitMs / 10)) {
            return true;
        }
    }
    return false;
}

// The controls of the window the notes cover, each as far as the panels holding it show it.
QStringList coveredByNotes(const MainForm& form) {
    const QRect notes = form.lbl_Hinweise->geometry();
    QStringList covered;
    for (const QWidget* control : form.findChildren<QWidget*>()) {
        if (control == form.lbl_Hinweise || control->isWindow() || !control->isVisibleTo(&form)) {
            continue;
        }
        QRect shown(control->mapTo(&form, QPoint()), control->size());
        for (const QWidget* holder = control->parentWidget(); holder != &form;
             holder = holder->parentWidget()) {
            shown &= QRect(holder->mapTo(&form, QPoint()), holder->size());
        }
        if (!shown.isEmpty() && shown.intersects(notes)) {
            covered << control->objectName() + QLatin1Char(' ') + control->metaObject()->className();
        }
    }
    return covered;
}

class FramedHeightTest : public ProgramFixture {
protected:
    MainForm& main() { return *program->frm_DoKu; }
    MainMenu& menu() { return *main().findChild<MainMenu*>(); }
    bool heightReadsBack(int twips) {
        return QTest::qWaitFor([&] { return heightTwips(&main()) == twips; }, kWaitMs);
    }
    void expectNotesShownOverNoControl() {
        EXPECT_GT(main().lbl_Hinweise->height(), 0);
        EXPECT_LE(main().lbl_Hinweise->geometry().bottom(), main().sb->geometry().top());
        EXPECT_EQ(coveredByNotes(main()).join(QStringLiteral(", ")).toStdString(), "");
    }
};

TEST_F(FramedHeightTest, HeightsSetBeforeTheWindowIsFramedReadBackOnceItIs) {
    ASSERT_TRUE(windowManagerFrames()) << "no window manager frames the windows";
    startProgram(); // the tall height is set while the main window is not shown yet
    program->settingsActions().cmd_SK_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed(main()); }, kWaitMs));
    EXPECT_TRUE(heightReadsBack(kTall)) << heightTwips(&main());
    program->statusBar().showDeletionHold(
        QStringLiteral("Alte Aufnahmen werden nicht gelöscht: Es gilt die Grundeinstellung, bis die "
                       "Einstellungen gespeichert sind."));
    program->statusBar().showCaptureTrouble(QStringLiteral("Die Aufnahme lässt sich nicht schreiben."));
    expectNotesShownOverNoControl();

    menu().toggleSoundWindow();
    EXPECT_TRUE(heightReadsBack(kShort)) << heightTwips(&main());
    EXPECT_TRUE(program->frm_Oszi->isHidden());
    expectNotesShownOverNoControl();
    menu().toggleSoundWindow();
    EXPECT_TRUE(heightReadsBack(kTall)) << heightTwips(&main());
    EXPECT_TRUE(program->frm_Oszi->isVisible());
    expectNotesShownOverNoControl();
}

} // namespace
} // namespace kestrova::test
