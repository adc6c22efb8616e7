// Continuous play through the recording list.
#include "archive/RecordingFiles.h"
#include "gui/archive/ListInteractions.h"
#include "gui/player/Player.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "player/SoundWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>

namespace kestrova::test {
namespace {

class ContinuousPlayTest : public SoundWindowFixture {
protected:
    static QString name(int i) { return QStringLiteral("1_08-17-2012_10-00-0%1.wav").arg(i); }
    QString recording(int i) const { return QDir(folder()).filePath(QStringLiteral("W/") + name(i)); }

    // Six listed recordings; entry `row` playing at normal speed.
    Player& playing(int row) {
        for (int i = 0; i < 6; ++i) {
            write(QStringLiteral("W/") + name(i), recordingOfSeconds(25));
        }
        Player& p = player();
        list()->setCurrentRow(row);
        program->listInteractions().lb_Sounds_MouseUp(1, 0, 0, 0);
        p.continuousPlay().tmr_NachStop_Timer();
        EXPECT_TRUE(p.playing());
        played();
        return p;
    }

    RecordingListView* list() { return program->frm_DoKu->lb_Sounds; }
    const QTimer* nachStop() { return &program->player().continuousPlay().afterStopTimer(); }
    QCheckBox* continuous() { return program->frm_Einstellungen->chkFortlaufend; }
    int slider() { return program->frm_Oszi->slider->value(); }
};

TEST_F(ContinuousPlayTest, TheEndOfAnEntryLoadsTheNextAndItsTickPlaysItFromTheStart) {
    Player& p = playing(3);
    ASSERT_TRUE(continuous()->isChecked());
    tickAt(20'000);
    EXPECT_EQ(list()->currentRow(), 4);
    EXPECT_EQ(p.loadedFile(), recording(4));
    EXPECT_EQ(program->frm_Oszi->lblFile->text(), QDir::toNativeSeparators(recording(4)));
    EXPECT_EQ(slider(), 0);
    EXPECT_EQ(p.startPos(), 0);
    EXPECT_TRUE(nachStop()->isActive());
    EXPECT_FALSE(p.playing());

    played();
    p.continuousPlay().tmr_NachStop_Timer();
    EXPECT_EQ(played(), Plays({{recording(4), 0}}));
    EXPECT_FALSE(nachStop()->isActive());
}

TEST_F(ContinuousPlayTest, AfterTheLastEntryPlayStopsThere) {
    Player& p = playing(5);
    p.continuousPlay().stopTimers();
    tickAt(20'000);
    EXPECT_EQ(list()->currentRow(), 5);
    EXPECT_EQ(slider(), 1'000'000);
    EXPECT_FALSE(p.playing());
    EXPECT_FALSE(nachStop()->isActive());
    EXPECT_TRUE(played().empty());
}

TEST_F(ContinuousPlayTest, UncheckedTheEndOfAFileLeavesTheSliderAtTheEnd) {
    Player& p = playing(2);
    continuous()->setChecked(false);
    p.continuousPlay().stopTimers();
    tickAt(20'000);
    EXPECT_EQ(list()->currentRow(), 2);
    EXPECT_EQ(slider(), 1'000'000);
    EXPECT_EQ(p.loadedFile(), recording(2));
    EXPECT_FALSE(nachStop()->isActive());
}

} // namespace
} // namespace kestrova::test
