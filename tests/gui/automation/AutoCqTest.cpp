// Auto-CQ: choosing the file, the cycle of air time, gap and pause, and its stops.
#include "base/automation/AutoCq.h"

#include "automation/CqFixture.h"
#include "base/audio/SoundFileProbe.h"
#include "base/audio/StreamingPlayback.h"
#include "base/player/Playback.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/Transmitter.h"
#include "gui/app/Settings.h"
#include "gui/app/SettingsActions.h"
#include "gui/player/Player.h"
#include "gui/ui/SettingsForm.h"
#include "support/FakePlatform.h"
#include "support/RealTimeCard.h"
#include "support/WavBytes.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

namespace kestrova::test {
namespace {

using AutoCqTest = CqFixture;

TEST_F(AutoCqTest, TheFirstClickOnlyChoosesTheFileAndTheSecondStartsTheCycle) {
    start();
    // A cancelled dialog leaves no file; the next click asks again.
    QTest::mouseClick(lblCQ(), Qt::LeftButton);
    EXPECT_TRUE(program->transmitter().cqFile.isEmpty());

    const QString path = writeSound(QStringLiteral("cq.wav"), 4);
    chooseInDialog(path);
    QTest::mouseClick(lblCQ(), Qt::LeftButton);
    EXPECT_EQ(program->transmitter().cqFile, path);
    EXPECT_FALSE(isPressed(lblCQ()));
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(keyed());

    QTest::mouseClick(lblCQ(), Qt::LeftButton);
    EXPECT_TRUE(isPressed(lblCQ()));
    EXPECT_TRUE(airTimer());
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(program->player().playing());
    EXPECT_EQ(program->player().currentFile(), path);
    EXPECT_FALSE(main().lblrsp->isHidden());
    EXPECT_TRUE(watchTimer());
}

TEST_F(AutoCqTest, AFourSecondFileIsKeyedThenOffForTheGapAndThePauseThenSentAgain) {
    start();
    startCycle();
    EXPECT_EQ(program->autoCq().airTimer().interval(), 5000);
    EXPECT_EQ(program->autoCq().cqPauseTimer().interval(), 6000);

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
    fakes.player.plays.clear();
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_FALSE(pauseTimer());
    EXPECT_TRUE(airTimer());
    EXPECT_EQ(program->autoCq().airTimer().interval(), 5000);
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(isPressed(tx()));
    EXPECT_TRUE(program->player().playing());
    ASSERT_EQ(fakes.player.plays.size(), 1U);
    EXPECT_EQ(fakes.player.plays[0].fromMs, 0);
    EXPECT_TRUE(isPressed(lblCQ()));
}

// A file the player never ends (a device that stalls) must not keep the carrier up
// for longer than the air time and the allowance for the card's latency.
TEST_F(AutoCqTest, TheGapIsOffTheAirEvenWhenThePlayerNeverReachesTheEnd) {
    start();
    startCycle();
    cq().tmrCQ_Timer();
    EXPECT_TRUE(keyed()); // the card may still be playing the end
    EXPECT_EQ(program->autoCq().airTimer().interval(), AutoCq::kEndCheckMs);
    for (int i = 0; i < AutoCq::kEndAllowanceMs / AutoCq::kEndCheckMs && !pauseTimer(); ++i) {
        cq().tmrCQ_Timer();
    }
    EXPECT_TRUE(pauseTimer());
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(isPressed(tx()));
    EXPECT_FALSE(program->player().playing());
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_TRUE(keyed());
    EXPECT_TRUE(isPressed(tx()));
    EXPECT_EQ(program->autoCq().airTimer().interval(), 5000);
}

// The real player on a card whose output lags the player by more than the second
// that the air timer allows: the line drops only after the last sample was heard.
TEST_F(AutoCqTest, TheLineDropsAfterTheLastSampleOfALaggingCardWasHeard) {
    RealTimeCard card([this] { return fakes.serial.dtr; }, 1300);
    StreamingPlayback device(card);
    fakes.realPlayer = &device;
    start();
    chooseInDialog(writeSound(QStringLiteral("cq.wav"), 1));
    cq().toggleCycle();
    cq().toggleCycle();
    EXPECT_TRUE(keyed());
    EXPECT_EQ(program->autoCq().airTimer().interval(), 2000);
    QElapsedTimer waited;
    waited.start();
    while ((keyed() || !pauseTimer()) && waited.elapsed() < 6000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    EXPECT_FALSE(keyed());
    EXPECT_EQ(card.heardKeyed, 8000u);
    EXPECT_EQ(card.heardUnkeyed, 0u);
    program.reset();
}

// Not sound at all; no frames, which would key an empty carrier; and a list chunk
// before the format, which the playback plays but the sound window's reader refuses
// with a box that would wait while the carrier is up.
TEST_F(AutoCqTest, AFileThatCannotBeSentIsNeverKeyedForAndToldWithAMessageThatWaitsForNobody) {
    const QByteArray listFirst =
        riff(chunk("LIST", QByteArray("INFOtest")) + chunk("fmt ", fmtBody(1, 8000, 8)) +
             chunk("data", QByteArray(8000, '\x80')));
    const std::pair<QByteArray, QString> unsendable[] = {
        {QByteArray("RIFF not a sound"), QString()},
        {recordingBytes(8000, 0), QStringLiteral("keine Tondaten")},
        {listFirst, QStringLiteral("Unknown Wave Format")},
    };
    start();
    for (const auto& [bytes, reason] : unsendable) {
        SCOPED_TRACE(reason.toStdString());
        const QString bad = folder() + QStringLiteral("/bad.wav");
        writeBytes(bad, bytes);
        program->transmitter().cqFile = bad;
        fakes.serial.events.clear();
        cq().toggleCycle();
        EXPECT_FALSE(isPressed(lblCQ()));
        EXPECT_FALSE(airTimer());
        EXPECT_TRUE(fakes.serial.events.filter(QStringLiteral("DTR+")).isEmpty());
        EXPECT_TRUE(main().sb->currentMessage().startsWith(QStringLiteral("Auto-CQ beendet: bad.wav")));
        EXPECT_TRUE(main().sb->currentMessage().contains(reason));

        // The file goes bad during the pause: the next transmission is never keyed.
        program->transmitter().cqFile.clear();
        startCycle();
        EXPECT_TRUE(isPressed(lblCQ()));
        playToTheEnd();
        cq().tmrCQ_Timer();
        writeBytes(program->player().originalFile(), bytes);
        fakes.serial.events.clear();
        cq().tmrCQ_PAUSE_Timer();
        EXPECT_FALSE(keyed());
        EXPECT_TRUE(fakes.serial.events.filter(QStringLiteral("DTR+")).isEmpty());
        EXPECT_FALSE(isPressed(lblCQ()));
        EXPECT_FALSE(airTimer() || pauseTimer());
        EXPECT_TRUE(main().sb->currentMessage().startsWith(QStringLiteral("Auto-CQ beendet: cq.wav")));
        EXPECT_TRUE(fakes.dialogs.messages.empty());
    }
    // The playback takes the list chunk first; only the sound window's reader refuses it.
    EXPECT_TRUE(probeSoundFile(folder() + QStringLiteral("/cq.wav")).playable);
}

TEST_F(AutoCqTest, StartingWhileTheButtonIsPressedKeysAndLeavesItReleased) {
    start();
    program->transmitter().togglePushToTalk();
    ASSERT_TRUE(keyed());
    startCycle();
    EXPECT_TRUE(keyed());
    EXPECT_FALSE(isPressed(tx()));
}

// The toggle at the end of the pause would un-key a line that the user keyed meanwhile.
TEST_F(AutoCqTest, TxClickedDuringThePauseLeavesTheNextCallKeyed) {
    start();
    startCycle();
    playToTheEnd();
    cq().tmrCQ_Timer();
    program->transmitter().togglePushToTalk();
    ASSERT_TRUE(keyed());
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_TRUE(program->player().playing());
    EXPECT_TRUE(keyed());
}

// The first samples must not go out before the carrier; a start the player refuses
// after all drops the line at once.
TEST_F(AutoCqTest, EveryCallIsKeyedBeforeItsFilePlaysAndUnkeyedWhenThePlayerRefuses) {
    start();
    chooseInDialog(writeSound(QStringLiteral("cq.wav"), 4));
    cq().toggleCycle();
    QList<bool> keyedAtPlay;
    fakes.player.onPlay = [this, &keyedAtPlay] { keyedAtPlay << keyed(); };
    cq().toggleCycle();
    playToTheEnd();
    cq().tmrCQ_Timer();
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_EQ(keyedAtPlay, QList<bool>({true, true}));

    playToTheEnd();
    cq().tmrCQ_Timer();
    fakes.player.statusFails = true;
    cq().tmrCQ_PAUSE_Timer();
    EXPECT_FALSE(program->player().playing());
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(isPressed(tx()));
    EXPECT_FALSE(isPressed(lblCQ()));
    EXPECT_TRUE(main().sb->currentMessage().startsWith(QStringLiteral("Auto-CQ beendet: cq.wav")));
    fakes.player.onPlay = nullptr;
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
        cq().toggleCycle();
        EXPECT_FALSE(isPressed(lblCQ()));
        EXPECT_FALSE(airTimer());
        EXPECT_FALSE(pauseTimer());
        EXPECT_FALSE(keyed());
        EXPECT_FALSE(isPressed(tx()));
        EXPECT_FALSE(program->player().playing());
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
    QTest::mouseClick(lblCQ(), Qt::RightButton);
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
    cq().toggleCycle();
    ASSERT_TRUE(keyed());
    cq().tmrCQ_Timer();
    program->settingsActions().cmd_Speichern_Click();
    EXPECT_FALSE(pauseTimer());
    EXPECT_FALSE(isPressed(lblCQ()));
    EXPECT_TRUE(main().lblrsp->isHidden());
    cq().toggleCycle();
    EXPECT_TRUE(isPressed(lblCQ()));
    EXPECT_TRUE(keyed());

    // So does the end of the program.
    program->shutDown();
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(watchTimer());
}

} // namespace
} // namespace kestrova::test
