// The main window's two heights under a window manager that frames the windows:
// the heights include the title bar and borders, also when set before the frame exists.
#include "gui/app/MainMenu.h"
#include "gui/app/SettingsActions.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SoundForm.h"
#include "support/ProgramFixture.h"

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

class FramedHeightTest : public ProgramFixture {
protected:
    MainForm& main() { return *program->frm_DoKu; }
    MainMenu& menu() { return *main().findChild<MainMenu*>(); }
    bool heightReadsBack(int twips) {
        return QTest::qWaitFor([&] { return heightTwips(&main()) == twips; }, kWaitMs);
    }
};

TEST_F(FramedHeightTest, HeightsSetBeforeTheWindowIsFramedReadBackOnceItIs) {
    ASSERT_TRUE(windowManagerFrames()) << "no window manager frames the windows";
    startProgram(); // the tall height is set while the main window is not shown yet
    program->settingsActions().cmd_SK_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed(main()); }, kWaitMs));
    EXPECT_TRUE(heightReadsBack(kTall)) << heightTwips(&main());

    menu().toggleSoundWindow();
    EXPECT_TRUE(heightReadsBack(kShort)) << heightTwips(&main());
    EXPECT_TRUE(program->frm_Oszi->isHidden());
    menu().toggleSoundWindow();
    EXPECT_TRUE(heightReadsBack(kTall)) << heightTwips(&main());
    EXPECT_TRUE(program->frm_Oszi->isVisible());
}

} // namespace
} // namespace kestrova::test
