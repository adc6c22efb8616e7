// Timed actions: the schedule file, the seconds of the clock, and the actions on the base alone.
#include "base/automation/TimedActions.h"

#include "archive/RecordingFiles.h"
#include "base/archive/Archive.h"
#include "base/automation/ClockSeconds.h"
#include "base/automation/ScheduleFile.h"
#include "base/settings/SettingsStore.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/HeldSounds.h"
#include "base/transmit/Transmitter.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace kestrova::test {
namespace {

TEST(ScheduleFile, TakesTheFirstThreeLinesWhateverEndsThemAndWhateverTheirCodePage) {
    const Schedule crlf = parseSchedule("00:00\r\nC:\\a.wav\r\nb.wav\r\nmore\r\n");
    EXPECT_EQ(crlf.actionTime, QStringLiteral("00:00"));
    EXPECT_EQ(crlf.actionFirstFile, QStringLiteral("C:\\a.wav"));
    EXPECT_EQ(crlf.actionSecondFile, QStringLiteral("b.wav"));

    const Schedule mixed = parseSchedule(" 30:00 \na.wav \rb.wav");
    EXPECT_EQ(mixed.actionTime, QStringLiteral(" 30:00 "));
    EXPECT_EQ(mixed.actionFirstFile, QStringLiteral("a.wav ")); // used as written
    EXPECT_EQ(mixed.actionSecondFile, QStringLiteral("b.wav"));

    const Schedule shortFile = parseSchedule("15:00\r\n");
    EXPECT_EQ(shortFile.actionTime, QStringLiteral("15:00"));
    EXPECT_TRUE(shortFile.actionFirstFile.isEmpty() && shortFile.actionSecondFile.isEmpty());

    EXPECT_EQ(parseSchedule("\xEF\xBB\xBF"
                            "00:00\r\nGr\xC3\xBC\xC3\x9F"
                            "e.wav")
                  .actionFirstFile,
              QStringLiteral("Grüße.wav"));
    EXPECT_EQ(parseSchedule("00:00\r\nGr\xFC\xDF"
                            "e.wav")
                  .actionFirstFile,
              QStringLiteral("Grüße.wav"));
    EXPECT_EQ(parseSchedule("\xEF\xBB\xBF"
                            "00:00")
                  .actionTime,
              QStringLiteral("00:00"));
}

TEST(ScheduleFile, TheTimeNamesMinuteAndSecondOfEveryHour) {
    EXPECT_TRUE(isActionSecond(QStringLiteral("00:00:00"), QStringLiteral("00:00")));
    EXPECT_TRUE(isActionSecond(QStringLiteral("17:00:00"), QStringLiteral("00:00")));
    EXPECT_TRUE(isActionSecond(QStringLiteral("09:30:00"), QStringLiteral("  30:00 ")));
    EXPECT_FALSE(isActionSecond(QStringLiteral("09:30:01"), QStringLiteral("30:00")));
    EXPECT_FALSE(isActionSecond(QStringLiteral("09:30:00"), QString()));
}

QDateTime at(int h, int m, int s, int ms = 0) {
    return {QDate(2012, 8, 17), QTime(h, m, s, ms)};
}

std::vector<QDateTime> secondsAt(ClockSeconds& seconds, const QDateTime& now) {
    std::vector<QDateTime> result;
    while (const std::optional<QDateTime> second = seconds.next(now)) {
        result.push_back(*second);
    }
    return result;
}

TEST(ClockSeconds, EverySecondOnceAndInOrderWhateverTheTicksAndTheClockDo) {
    ClockSeconds seconds{QTime(0, 0, 30)};
    EXPECT_EQ(secondsAt(seconds, at(0, 0, 30, 0)), std::vector<QDateTime>{at(0, 0, 30)});
    for (int ms : {250, 500, 750, 999}) {
        EXPECT_TRUE(secondsAt(seconds, at(0, 0, 30, ms)).empty()) << ms;
    }
    // A late tick gets the seconds it missed.
    EXPECT_EQ(secondsAt(seconds, at(0, 0, 33, 100)),
              (std::vector<QDateTime>{at(0, 0, 31), at(0, 0, 32), at(0, 0, 33)}));
    // A clock set back within the hour repeats nothing; one set far on gives its new
    // second, after the daily second it passed; one set back further starts over.
    EXPECT_TRUE(secondsAt(seconds, at(0, 0, 25)).empty());
    EXPECT_EQ(secondsAt(seconds, at(9, 0, 0)), std::vector<QDateTime>{at(9, 0, 0)});
    EXPECT_TRUE(secondsAt(seconds, at(8, 0, 0)).empty());
    EXPECT_EQ(secondsAt(seconds, at(7, 59, 59)), std::vector<QDateTime>{at(7, 59, 59)});
    const QDate later(2012, 8, 20);
    EXPECT_EQ(secondsAt(seconds, {later, QTime(6, 0, 0)}),
              (std::vector<QDateTime>{{later, QTime(0, 0, 30)}, {later, QTime(6, 0, 0)}}));
}

// The timed actions stand without a window: nothing of them needs a form.
TEST(TimedActionsAlone, SendsOnTheHourAndRefreshesTheListAtNightWithoutAnyForm) {
    FakePlatform fakes;
    QTemporaryDir folder;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, folder.path());
    settings.change([&folder](SettingsValues& values) {
        values.docFolder = folder.path();
        values.txControlEnabled = 1;
        values.pttPin = 4;
        values.comPortName = QStringLiteral("/dev/ttyS1");
    });
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("W")));
    Transmitter transmitter(platform, settings);
    transmitter.openControlPort();
    Archive archive(platform, settings);
    archive.createTables();
    HeldSounds sounds(fakes.sounds);
    TimedActions actions(platform, folder.path(), archive, transmitter, sounds);
    const QString first = folder.filePath(QStringLiteral("kennung.wav"));
    const QString second = folder.filePath(QStringLiteral("info.wav"));
    ASSERT_TRUE(writeBytes(first, recordingOfSeconds(1)));
    ASSERT_TRUE(writeBytes(second, recordingOfSeconds(1)));
    ASSERT_TRUE(
        writeBytes(folder.filePath(QStringLiteral("KV.DAT")), "00:00\r\nkennung.wav\r\ninfo.wav\r\n"));
    int passes = 0;
    QObject::connect(&archive, &Archive::passStarted, [&passes] { ++passes; });
    std::vector<bool> keyed;
    fakes.sounds.whilePlaying = [&keyed, &fakes](const QString&) { keyed.push_back(fakes.serial.dtr); };

    actions.loadTimedAction();
    fakes.clock.set(at(13, 0, 0));
    actions.tmr_Zeit_Timer();
    EXPECT_EQ(fakes.sounds.played, QStringList({first, second}));
    EXPECT_EQ(keyed, std::vector<bool>({true, true}));
    EXPECT_FALSE(fakes.serial.dtr);
    EXPECT_EQ(passes, 0);

    fakes.clock.set(QDateTime(QDate(2012, 8, 18), QTime(0, 0, 30)));
    actions.tmr_Zeit_Timer();
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(fakes.sounds.played.size(), 2);
}

} // namespace
} // namespace kestrova::test
