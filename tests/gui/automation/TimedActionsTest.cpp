// The windowed program's timed actions: the nightly list refresh and the hourly transmission.
#include "base/automation/TimedActions.h"

#include "archive/RecordingFiles.h"
#include "base/archive/Archive.h"
#include "base/audio/SimpleSoundPlayer.h"
#include "base/automation/AutoCq.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/Transmitter.h"
#include "gui/player/Player.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "support/FakePlatform.h"
#include "support/ProgramFixture.h"
#include "support/RealTimeCard.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

namespace kestrova::test {
namespace {

QDateTime at(int h, int m, int s, int ms = 0) {
    return {QDate(2012, 8, 17), QTime(h, m, s, ms)};
}

class TimedActionsTest : public ProgramFixture {
protected:
    // Writes the schedule file and two sound files beside it.
    void schedule(const QString& time, bool secondExists = true,
                  const QString& name = QStringLiteral("KV.DAT")) {
        first = folder() + QStringLiteral("/kennung.wav");
        second = folder() + QStringLiteral("/info.wav");
        writeBytes(first, recordingOfSeconds(1));
        if (secondExists) {
            writeBytes(second, recordingOfSeconds(1));
        }
        writeBytes(
            folder() + QLatin1Char('/') + name,
            (time + QStringLiteral("\r\nkennung.wav\r\n") + second + QStringLiteral("  \r\n")).toUtf8());
    }
    void start() {
        writeIni(
            defaultIni({{7, QStringLiteral("2")}, {8, QStringLiteral("46-0")}, {20, QStringLiteral("1")}}));
        startProgram();
        // A recording of the day, so that each list pass fills the list.
        writeBytes(folder() + QStringLiteral("/W/1_08-17-2012_12-00-00.wav"), recordingOfSeconds(30));
        program->archive().recordingList().clear();
        fakes.serial.events.clear();
        // The line as each file begins to play.
        fakes.sounds.whilePlaying = [this](const QString&) { keyedWhilePlaying.push_back(fakes.serial.dtr); };
    }
    RecordingListView* list() { return program->frm_DoKu->lb_Sounds; }
    // Ticks at the time; true when the tick refreshed the list.
    bool tickAt(const QDateTime& time) {
        program->archive().recordingList().clear();
        fakes.clock.set(time);
        program->timedActions().tmr_Zeit_Timer();
        return list()->count() > 0;
    }
    void expectOneTransmission() {
        EXPECT_EQ(fakes.sounds.played, QStringList({first, second}));
        EXPECT_EQ(keyedWhilePlaying, std::vector<bool>({true, true}));
        EXPECT_EQ(fakes.sounds.pausesBetween, std::vector<int>{275});
        EXPECT_EQ(fakes.serial.events, QStringList({"DTR+", "DTR-"}));
        EXPECT_FALSE(fakes.serial.dtr);
    }
    void forgetTransmissions() {
        fakes.sounds.played.clear();
        keyedWhilePlaying.clear();
        fakes.sounds.pausesBetween.clear();
        fakes.serial.events.clear();
    }

    QString first;
    QString second;
    std::vector<bool> keyedWhilePlaying;
};

TEST_F(TimedActionsTest, TheScheduleFileIsFoundWhateverTheCaseOfItsName) {
    for (const QString& name : {QStringLiteral("kv.dat"), QStringLiteral("Kv.Dat")}) {
        SCOPED_TRACE(name.toStdString());
        schedule(QStringLiteral("00:00"), true, name);
        start();
        EXPECT_EQ(program->timedActions().actionTime, QStringLiteral("00:00"));
        EXPECT_EQ(program->timedActions().actionFirstFile, QStringLiteral("kennung.wav"));
        EXPECT_EQ(program->timedActions().actionSecondFile, second + QStringLiteral("  "));
        program.reset();
        QFile::remove(folder() + QLatin1Char('/') + name);
    }
}

TEST_F(TimedActionsTest, AtEveryFullHourBothFilesAreSentWithThePauseBetween) {
    schedule(QStringLiteral("00:00"));
    start();
    // The timer runs from the start, often enough for every second.
    EXPECT_TRUE(program->timedActions().clockTimer().isActive());
    EXPECT_LE(program->timedActions().clockTimer().interval(), 500);
    // Ticks while the files play start nothing.
    fakes.sounds.whilePlaying = [this](const QString&) {
        keyedWhilePlaying.push_back(fakes.serial.dtr);
        program->timedActions().tmr_Zeit_Timer();
    };
    for (const QDateTime& time : {at(0, 0, 0), at(1, 0, 0), at(17, 0, 0)}) {
        SCOPED_TRACE(time.toString().toStdString());
        tickAt(time);
        expectOneTransmission();
        forgetTransmissions();
    }
    tickAt(at(17, 0, 1));
    tickAt(at(17, 1, 0));
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    EXPECT_TRUE(fakes.serial.events.isEmpty());
}

TEST_F(TimedActionsTest, ATimeWithBlanksAroundItMatchesAtHalfPast) {
    schedule(QStringLiteral(" 30:00 "));
    start();
    tickAt(at(14, 29, 59));
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    tickAt(at(14, 30, 0));
    expectOneTransmission();
}

TEST_F(TimedActionsTest, AtHalfAMinutePastMidnightTheRefreshComesFirstAndBothRunOnce) {
    schedule(QStringLiteral("00:30"));
    start();
    std::vector<bool> refreshedWhilePlaying;
    fakes.sounds.whilePlaying = [&](const QString&) {
        keyedWhilePlaying.push_back(fakes.serial.dtr);
        refreshedWhilePlaying.push_back(list()->count() > 0);
    };
    int refreshes = 0;
    for (int ms : {0, 250, 500, 750}) {
        refreshes += tickAt(at(0, 0, 30, ms)) ? 1 : 0;
    }
    EXPECT_EQ(refreshes, 1);
    expectOneTransmission();
    EXPECT_EQ(refreshedWhilePlaying, std::vector<bool>({true, true}));

    forgetTransmissions();
    EXPECT_FALSE(tickAt(at(5, 0, 30)));
    expectOneTransmission();
}

// A clock that is set costs no night's refresh and sends nothing twice: set on past
// midnight (its time came from the network only now) it still refreshes the list once;
// set back within the hour it waits for the seconds already done; set back further
// (it was far ahead) it starts over at once.
TEST_F(TimedActionsTest, AClockThatIsSetSkipsNoNightAndSendsNothingTwice) {
    schedule(QStringLiteral("00:00"));
    start();
    tickAt(at(22, 10, 0));
    const QDate day(2012, 8, 18);
    EXPECT_TRUE(tickAt({day, QTime(3, 20, 0)}));
    EXPECT_FALSE(tickAt({day, QTime(3, 20, 1)}));
    EXPECT_TRUE(fakes.sounds.played.isEmpty());

    tickAt({day, QTime(4, 0, 0)});
    expectOneTransmission();
    forgetTransmissions();
    for (const QTime time :
         {QTime(4, 0, 5), QTime(3, 30, 5), QTime(3, 59, 59), QTime(4, 0, 0), QTime(4, 0, 6)}) {
        tickAt({day, time});
    }
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    tickAt({day.addDays(-1), QTime(4, 0, 0)});
    expectOneTransmission();
}

TEST_F(TimedActionsTest, WithoutTheSecondFileNothingIsPlayedOrKeyed) {
    schedule(QStringLiteral("00:00"), false);
    start();
    tickAt(at(3, 0, 0));
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    EXPECT_TRUE(fakes.serial.events.isEmpty());
}

TEST_F(TimedActionsTest, WithoutAScheduleOnlyTheNightlyRefreshHappensEvenForALateTick) {
    start();
    EXPECT_FALSE(tickAt(at(0, 0, 0)));
    EXPECT_FALSE(tickAt(at(0, 0, 29, 900)));
    // A list pass or a transmission may hold the thread past 00:00:30.
    EXPECT_TRUE(tickAt(at(0, 0, 31, 200)));
    EXPECT_FALSE(tickAt(at(0, 0, 32)));
    tickAt(at(12, 30, 0));
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    EXPECT_TRUE(fakes.serial.events.isEmpty());
}

TEST_F(TimedActionsTest, AFailingPlaybackOrTheProgramsEndLeavesTheLineDown) {
    schedule(QStringLiteral("00:00"));
    start();
    fakes.sounds.playable = false;
    tickAt(at(2, 0, 0));
    EXPECT_EQ(fakes.sounds.played.size(), 2);
    EXPECT_EQ(fakes.serial.events, QStringList({"DTR+", "DTR-"}));

    forgetTransmissions();
    fakes.sounds.whilePlaying = [this](const QString&) { program->shutDown(); };
    tickAt(at(3, 0, 0));
    EXPECT_EQ(fakes.serial.events, QStringList({"DTR+", "DTR-"}));
    EXPECT_FALSE(fakes.serial.dtr);
}

TEST_F(TimedActionsTest, NoFileThatCannotBePlayedIsKeyedForAndAFailingFirstFileIsPassedOver) {
    schedule(QStringLiteral("00:00"));
    start();
    // Not sound, or no frames to send.
    int hour = 0;
    for (const QByteArray& bytes : {QByteArray("RIFF junk"), recordingBytes(8000, 0)}) {
        writeBytes(second, bytes);
        tickAt(at(hour++, 0, 0));
        EXPECT_TRUE(fakes.sounds.played.isEmpty());
        EXPECT_TRUE(fakes.serial.events.isEmpty());
    }

    // A first file that is not a sound: the pause and the second file are still sent.
    writeBytes(second, recordingOfSeconds(1));
    writeBytes(first, QByteArray("not a sound"));
    tickAt(at(2, 0, 0));
    EXPECT_EQ(fakes.sounds.played, QStringList({second}));
    EXPECT_EQ(fakes.sounds.pausesBetween, std::vector<int>{275});
    EXPECT_EQ(fakes.serial.events, QStringList({"DTR+", "DTR-"}));
    EXPECT_TRUE(fakes.dialogs.messages.empty());

    // A pipe in place of the second file is never opened, so nothing waits for a writer.
    forgetTransmissions();
    QFile::remove(second);
    if (QProcess::execute(QStringLiteral("mkfifo"), {second}) != 0) {
        GTEST_SKIP() << "mkfifo not available";
    }
    tickAt(at(3, 0, 0));
    EXPECT_TRUE(fakes.sounds.played.isEmpty());
    EXPECT_TRUE(fakes.serial.events.isEmpty());
}

// The timed transmission through the real simple sound playback on a card that
// plays in real time, with everything else that keys, un-keys or plays arriving
// while it is on the air.
TEST_F(TimedActionsTest, WhileTheTimedTransmissionIsOnTheAirNothingElseKeysUnkeysOrCutsIt) {
    RealTimeCard card([this] { return fakes.serial.dtr; }, 50);
    SimpleSoundPlayer sounds(card);
    fakes.realSounds = &sounds;
    schedule(QStringLiteral("00:00"));
    writeBytes(first, recordingBytes(8000, 4000)); // 0.5 s
    writeBytes(second, recordingBytes(8000, 4000));
    start();
    fakes.sounds.whilePlaying = nullptr;
    Player& player = program->player();
    AutoCq& cq = program->autoCq();

    // The sound window plays a recording, continuous play is on, Auto-CQ runs.
    writeBytes(folder() + QStringLiteral("/W/1_08-17-2012_12-00-05.wav"), recordingOfSeconds(30));
    program->archive().refreshRecordingList();
    list()->setCurrentRow(0);
    program->frm_Einstellungen->chkFortlaufend->setChecked(true);
    program->transmitter().cqFile = first;
    cq.toggleCycle();
    EXPECT_TRUE(player.playing());
    fakes.serial.events.clear();
    fakes.player.plays.clear();

    const std::vector<std::function<void()>> meanwhile = {
        [&] { player.stop(); }, // the window's stop, also its end of the file
        [&] { player.continuousPlay().playNextInList(); },
        [&] { player.continuousPlay().tmr_NachStop_Timer(); },
        [&] { cq.tmrCQ_Timer(); },
        [&] { cq.tmrCQ_PAUSE_Timer(); },
        [&] { cq.toggleCycle(); },
        [&] {
            fakes.serial.status.dsr = true; // the channel is busy
            cq.squelchWatch();
        },
        [&] { program->transmitter().togglePushToTalk(); },
        [&] { player.controls().ed1_KeyDown(32, 0); },
        [&] { program->platform().sounds.stop(); },
        [&] { program->platform().sounds.play(first); },
        [&] { program->transmitter().transmitterOff(); },
    };
    int step = 0;
    QTimer events;
    events.setInterval(60);
    events.callOnTimeout([&] {
        if (step < int(meanwhile.size())) {
            meanwhile[step++]();
        }
    });
    events.start();
    QElapsedTimer keyed;
    keyed.start();
    fakes.clock.set(at(4, 0, 0));
    program->timedActions().tmr_Zeit_Timer();
    const qint64 keyedMs = keyed.elapsed();
    events.stop();

    EXPECT_EQ(step, int(meanwhile.size()));
    EXPECT_EQ(fakes.serial.events, QStringList({"DTR+", "DTR-"}));
    EXPECT_FALSE(fakes.serial.dtr);
    // Both files and the pause between them were heard whole, every frame keyed.
    EXPECT_EQ(card.heardKeyed, 8000u + 2200u);
    EXPECT_EQ(card.heardUnkeyed, 0u);
    EXPECT_GE(keyedMs, 1275);
    EXPECT_LT(keyedMs, 2500);
    EXPECT_TRUE(fakes.player.plays.empty());
    program.reset();
}

} // namespace
} // namespace kestrova::test
