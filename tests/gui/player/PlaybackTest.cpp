// Playback through the player device: what it plays from where, the slider and the stop.
#include "archive/RecordingFiles.h"
#include "base/transmit/Transmitter.h"
#include "gui/player/Player.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SoundForm.h"
#include "support/FakeAudioSink.h"
#include "support/FakePlatform.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace kestrova::test {
namespace {

using Plays = std::vector<FakePlaybackDevice::Play>;

class PlaybackTest : public ProgramFixture {
protected:
    // A started program with a loaded file of the given play length in ms.
    Player& load(const QString& name = QStringLiteral("rec.wav"), long long lengthMs = 20000) {
        if (!program) {
            startProgram();
        }
        const QString path = folder() + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(writeBytes(path, recordingOfSeconds(2)));
        fakes.player.lengthMs = lengthMs;
        Player& player = program->player();
        EXPECT_TRUE(player.readWaveHeader(path));
        return player;
    }
    Plays played() { return fakes.player.takePlays(); }
    bool deviceOpen() const { return !fakes.player.openFile.isEmpty(); }
    QSlider* slider() { return program->frm_Oszi->slider; }
    const QTimer* pollTimer() { return &program->player().playback().followTimer(); }
};

TEST_F(PlaybackTest, AStartOpensAsksTheLengthAndPlaysFromTheStartPosition) {
    Player& player = load();
    EXPECT_EQ(player.startPos(), 10'000'000); // fresh window
    player.startPlayback();
    EXPECT_EQ(played(), Plays({{player.loadedFile(), 0}}));
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(player.playLength(), 20000);
    EXPECT_TRUE(pollTimer()->isActive());

    for (long long start : {1'000'000LL, 500'000LL}) {
        player.stopPlayback();
        EXPECT_FALSE(deviceOpen());
        player.setStartPos(start);
        player.startPlayback();
        EXPECT_EQ(played(), Plays({{player.loadedFile(), start == 500'000 ? 10000 : 0}})) << start;
    }
}

TEST_F(PlaybackTest, NothingOrAMissingFileStartsNothing) {
    startProgram();
    program->player().startPlayback(); // nothing loaded yet
    Player& player = load();
    QFile::remove(player.loadedFile());
    player.startPlayback();
    EXPECT_FALSE(deviceOpen());
    EXPECT_TRUE(played().empty());
    EXPECT_FALSE(player.playing());
}

TEST_F(PlaybackTest, ADeviceThatRefusesTheFileLeavesThePlayerStopped) {
    Player& player = load();
    fakes.player.openResult = PlaybackResult::CannotReadFile;
    player.startPlayback();
    EXPECT_TRUE(played().empty());
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(pollTimer()->isActive());
}

TEST_F(PlaybackTest, TheTimerFollowsThePositionAndTheEndStopsAndRewinds) {
    Player& player = load();
    player.startPlayback();
    played();
    fakes.player.positionMs = 5000;
    player.playback().tmrplaywave_Timer();
    EXPECT_EQ(slider()->value(), 250'000);

    fakes.player.positionMs = 20000;
    player.playback().tmrplaywave_Timer();
    EXPECT_FALSE(deviceOpen());
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(slider()->value(), 1'000'000);
    EXPECT_EQ(player.startPos(), 1'000'000);
    player.startPlayback(); // the next start plays from the beginning
    EXPECT_EQ(played(), Plays({{player.loadedFile(), 0}}));
}

TEST_F(PlaybackTest, ALengthOfZeroEndsAtTheFirstTick) {
    Player& player = load(QStringLiteral("rec.wav"), 0);
    player.startPlayback();
    fakes.player.positionMs = -3;
    player.playback().tmrplaywave_Timer();
    EXPECT_FALSE(player.playing());
}

// Playback of the keyed transmitter ends un-keyed.
TEST_F(PlaybackTest, TheEndOfTheFileReleasesThePushToTalkButton) {
    writeIni(defaultIni({{8, QStringLiteral("76-0")}, {20, QStringLiteral("1")}}));
    Player& player = load();
    player.startPlayback();
    program->transmitter().togglePushToTalk();
    ASSERT_TRUE(fakes.serial.rts);
    fakes.player.positionMs = 20000;
    player.playback().tmrplaywave_Timer();
    EXPECT_FALSE(fakes.serial.rts);
    EXPECT_FALSE(isPressed(program->frm_Oszi->lbl_TX));
}

// A card that refuses to start, or gives up in the middle, leaves the player
// Stopped and the line down, with the reason in the window.
TEST_F(PlaybackTest, APlayTheCardRefusesOrGivesUpEndsStoppedAndUnkeyed) {
    writeIni(defaultIni({{8, QStringLiteral("76-0")}, {20, QStringLiteral("1")}}));
    Player& player = load();
    QLabel* fileLine = program->frm_Oszi->lblFile;
    fakes.player.playResult = PlaybackResult::DeviceFailed;
    program->transmitter().togglePushToTalk();
    player.startPlayback();
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(pollTimer()->isActive());
    EXPECT_FALSE(fakes.serial.rts);
    EXPECT_FALSE(isPressed(program->frm_Oszi->lbl_TX));
    EXPECT_FALSE(deviceOpen());
    EXPECT_EQ(fileLine->text(), QStringLiteral("Die Soundkarte startet die Wiedergabe nicht."));

    fakes.player.playResult = PlaybackResult::Ok;
    player.startPlayback();
    program->transmitter().togglePushToTalk();
    // A position that stands still while the device still plays (its latency) is no failure.
    fakes.player.positionMs = 5000;
    player.playback().tmrplaywave_Timer();
    player.playback().tmrplaywave_Timer();
    EXPECT_TRUE(player.playing());
    fakes.player.playing = false;
    player.playback().tmrplaywave_Timer();
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(pollTimer()->isActive());
    EXPECT_FALSE(fakes.serial.rts);
    EXPECT_EQ(slider()->value(), 250'000);
    EXPECT_EQ(fileLine->text(), QStringLiteral("Die Soundkarte hat die Wiedergabe abgebrochen."));
}

TEST_F(PlaybackTest, HoldingPausePausesAndTheReleaseResumesAtTheSlider) {
    Player& player = load();
    player.setStartPos(0);
    player.startPlayback();
    played();
    QPushButton* pause = program->frm_Oszi->cmd_Unterbrechen;
    QTest::mousePress(pause, Qt::LeftButton);
    EXPECT_FALSE(fakes.player.playing);
    EXPECT_TRUE(deviceOpen());
    EXPECT_TRUE(player.playing());
    EXPECT_FALSE(pollTimer()->isActive());

    slider()->setValue(750'000);
    QTest::mouseRelease(pause, Qt::LeftButton);
    EXPECT_EQ(played(), Plays({{player.loadedFile(), 15000}}));
    EXPECT_TRUE(pollTimer()->isActive());

    // Stopped, the button does nothing.
    player.stopPlayback();
    played();
    QTest::mouseClick(pause, Qt::LeftButton);
    EXPECT_TRUE(played().empty());
    EXPECT_FALSE(fakes.player.playing);
}

TEST_F(PlaybackTest, DraggingTheSliderSeeksAndReleasingItWhileStoppedPlaysFromTheStartPosition) {
    Player& player = load();
    player.setStartPos(0);
    player.startPlayback();
    played();
    player.playback().beginSeeking();
    EXPECT_FALSE(pollTimer()->isActive());
    slider()->setSliderPosition(250'000); // a user's move, as a drag reports it
    EXPECT_EQ(played(), Plays({{player.loadedFile(), 5000}}));

    player.stopPlayback();
    player.setStartPos(100'000);
    slider()->setValue(600'000);
    played();
    player.playback().endSeeking();
    EXPECT_EQ(played(), Plays({{player.loadedFile(), 2000}}));
    EXPECT_TRUE(pollTimer()->isActive());
}

TEST_F(PlaybackTest, ALeftClickIntoTheWaveformSeeksToItsPlace) {
    Player& player = load();
    player.setStartPos(0);
    player.startPlayback();
    played();
    player.controls().frx1_MouseDown(1, 0, 145, 10);
    const Plays plays = played();
    ASSERT_FALSE(plays.empty());
    EXPECT_EQ(plays.back(), (FakePlaybackDevice::Play{player.loadedFile(), 10000}));
    EXPECT_EQ(slider()->value(), 500'000);
    EXPECT_EQ(player.startPos(), 0);
    EXPECT_TRUE(player.playing());
}

TEST_F(PlaybackTest, AnyOtherClickShowsTheDiagnosticValues) {
    Player& player = load();
    player.setStartPos(0);
    player.startPlayback();
    played();
    player.controls().frx1_MouseDown(2, 0, 145, 10);
    EXPECT_TRUE(played().empty());
    EXPECT_TRUE(fakes.player.playing);
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages[0].text, QStringLiteral("x!145 Play_Len20000pos%0"));
}

TEST_F(PlaybackTest, StoppingRemembersThePositionAndUnkeys) {
    writeIni(defaultIni({{8, QStringLiteral("46-0")}, {20, QStringLiteral("1")}}));
    Player& player = load();
    player.setStartPos(0);
    player.startPlayback();
    fakes.player.positionMs = 5000;
    player.playback().tmrplaywave_Timer();
    program->transmitter().togglePushToTalk();
    ASSERT_TRUE(fakes.serial.dtr);
    program->frm_Oszi->lblFreq2->setBorder(LabelBorder::Sunken);

    player.stop();
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(player.startPos(), 250'000);
    EXPECT_FALSE(fakes.serial.dtr);
    EXPECT_FALSE(isPressed(program->frm_Oszi->lbl_TX));
    EXPECT_EQ(program->frm_Oszi->lblFreq2->border(), LabelBorder::Raised);
}

TEST_F(PlaybackTest, AClickOnStopStopsAndUnkeys) {
    writeIni(defaultIni({{8, QStringLiteral("76-0")}, {20, QStringLiteral("1")}}));
    Player& player = load();
    program->frm_Oszi->show();
    player.startPlayback();
    program->transmitter().togglePushToTalk();
    program->frm_DoKu->cmd_File_lö->setEnabled(false);
    QTest::mouseClick(program->frm_Oszi->cmdStop, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(fakes.serial.rts);
    EXPECT_FALSE(isPressed(program->frm_Oszi->lbl_TX));
    EXPECT_TRUE(program->frm_DoKu->cmd_File_lö->isEnabled());
}

TEST_F(PlaybackTest, TheSpaceBarTogglesTheTransmitterAndHeldDownDoesNotFlicker) {
    writeIni(defaultIni({{8, QStringLiteral("46-0")}, {20, QStringLiteral("1")}}));
    startProgram();
    QLineEdit* ed1 = program->frm_Oszi->ed1;
    LabelButton* tx = program->frm_Oszi->lbl_TX;

    program->player().controls().ed1_KeyDown('A', 0);
    EXPECT_EQ(ed1->text(), QStringLiteral("65"));
    EXPECT_FALSE(isPressed(tx));

    QTest::keyClick(ed1, Qt::Key_Space);
    EXPECT_TRUE(isPressed(tx));
    EXPECT_TRUE(fakes.serial.dtr);
    for (int i = 0; i < 5; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(ed1, &repeat);
    }
    EXPECT_TRUE(isPressed(tx));
    QTest::keyClick(ed1, Qt::Key_Space);
    EXPECT_FALSE(isPressed(tx));
    EXPECT_FALSE(fakes.serial.dtr);
}

} // namespace
} // namespace kestrova::test
