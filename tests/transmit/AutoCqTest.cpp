// Auto-CQ: choosing the file, the cycle of air time, gap and pause, and its stops.
#include "app/Settings.h"
#include "app/SettingsActions.h"
#include "recorder/Recorder.h"
#include "transmit/CqFixture.h"
#include "ui/SettingsForm.h"

#include <QCheckBox>
#include <QLabel>

namespace kestrova::test {
namespace {

using AutoCqTest = CqFixture;

TEST_F(AutoCqTest, TheFirstClickOnlyChoosesTheFileAndTheSecondStartsTheCycle) {
    start();
    // A cancelled dialog leaves no file; the next click asks again.
    cq().lblCQ_MouseDown(mousebutton::Left, 0, 0, 0);
    EXPECT_TRUE(program->transmitter().cqFile.isEmpty());

    const QString path = writeSound(QStringLiteral("cq.wav"), 4);
    chooseInDialog(path);
    cq().lblCQ_MouseDown(mousebutton::Left, 0, 0, 0);
    EXPECT_EQ(program->transmitter().cqFile, path);
    EXPECT_FALSE(isPressed(lblCQ()));
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(keyed());

    cq().lblCQ_MouseDown(mousebutton::Left, 0, 0, 0);
    EXPECT_TRUE(isPressed(lblCQ()));
    EXPECT_TRUE(airTimer());
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(program->player().playing);
    EXPECT_EQ(program->player().currentFile, path);
    EXPECT_FALSE(main().lblrsp->isHidden());
    EXPECT_TRUE(watchTimer());
}

TEST_F(AutoCqTest, AFourSecondFileIsKeyedThenOffForTheGapAndThePauseThenSentAgain) {
    start();
    startCycle();
    EXPECT_EQ(main().tmrCQ->interval(), 5000);
    EXPECT_EQ(main().tmrCQ_PAUSE->interval(), 6000);

    // On air
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(isPressed(tx()));
    EXPECT_TRUE(airTimer());
    EXPECT_FALSE(pauseTimer());

    // Gap: the player's end of file lets go of the line; the air timer still runs.
    playToTheEnd();
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(isPressed(tx()));
    EXPECT_TRUE(airTimer());

    // Pause
    cq().tmrCQ_Timer();
    EXPECT_FALSE(airTimer());
    EXPECT_TRUE(pauseTimer());
    EXPECT_FALSE(keyed());

    // Next transmission: keyed, the file plays again, same air time.
    fakes.player.commands.clear();
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_FALSE(pauseTimer());
    EXPECT_TRUE(airTimer());
    EXPECT_EQ(main().tmrCQ->interval(), 5000);
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(isPressed(tx()));
    EXPECT_TRUE(program->player().playing);
    EXPECT_TRUE(fakes.player.commands.contains(QStringLiteral("play waveplayfile from 0")));
    EXPECT_TRUE(isPressed(lblCQ()));
}

// A file the player never ends (unreadable, or a device that stalls) must not keep the carrier up.
TEST_F(AutoCqTest, TheGapIsOffTheAirEvenWhenThePlayerNeverReachesTheEnd) {
    start();
    startCycle();
    cq().tmrCQ_Timer();
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(isPressed(tx()));
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(isPressed(tx()));
}

TEST_F(AutoCqTest, StartingWhileTheButtonIsPressedKeysAndLeavesItReleased) {
    start();
    program->transmitter().lbl_TX_Click();
    ASSERT_TRUE(keyed());
    startCycle();
    EXPECT_TRUE(keyed());
    EXPECT_FALSE(isPressed(tx()));
}

TEST_F(AutoCqTest, StoppingInEveryPhaseEndsTheCycleAndLeavesTheLineDown) {
    for (int phase = 0; phase < 3; ++phase) {
        SCOPED_TRACE(phase);
        start();
        startCycle();
        if (phase >= 1) {
            playToTheEnd();
        }
        if (phase == 2) {
            cq().tmrCQ_Timer();
        }
        cq().lblCQ_MouseDown(mousebutton::Left, 0, 0, 0);
        EXPECT_FALSE(isPressed(lblCQ()));
        EXPECT_FALSE(airTimer());
        EXPECT_FALSE(pauseTimer());
        EXPECT_FALSE(keyed());
        EXPECT_FALSE(isPressed(tx()));
        EXPECT_FALSE(program->player().playing);
        EXPECT_TRUE(main().lblrsp->isHidden());
        EXPECT_TRUE(watchTimer()); // transmitter control is on: the watch stays
        program.reset();
    }
}

TEST_F(AutoCqTest, ARightClickAsksForAnotherFileAndLeavesTheCycleRunning) {
    start();
    startCycle();
    const QString other = writeSound(QStringLiteral("other.wav"), 2);
    chooseInDialog(other);
    cq().lblCQ_MouseDown(mousebutton::Right, 0, 0, 0);
    EXPECT_EQ(program->transmitter().cqFile, other);
    EXPECT_TRUE(isPressed(lblCQ()));
    EXPECT_TRUE(airTimer());
}

TEST_F(AutoCqTest, ReadingTheSettingsOrEndingTheProgramEndsACycleAndLetsGoOfTheLine) {
    start();
    startCycle();
    program->settings().readSettings();
    EXPECT_EQ(lblCQ()->border(), LabelBorder::Raised);
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(pauseTimer());
    EXPECT_FALSE(watchTimer());
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(isPressed(tx()));

    // Saving does the same; the next left click starts the cycle again.
    cq().cmd_PAPA_Click();
    ASSERT_TRUE(keyed());
    cq().tmrCQ_Timer();
    program->settingsActions().cmd_Speichern_Click();
    EXPECT_FALSE(pauseTimer());
    EXPECT_FALSE(isPressed(lblCQ()));
    EXPECT_TRUE(main().lblrsp->isHidden());
    cq().cmd_PAPA_Click();
    EXPECT_TRUE(isPressed(lblCQ()));
    EXPECT_TRUE(keyed());

    // So does the end of the program.
    program->recorder().stopRecorder();
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(watchTimer());
}

} // namespace
} // namespace kestrova::test
