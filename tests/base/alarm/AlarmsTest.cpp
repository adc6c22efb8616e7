#include "base/alarm/Alarms.h"

#include "base/archive/Archive.h"
#include "base/archive/RecordingName.h"
#include "base/program/Circuit.h"
#include "base/recorder/Recorder.h"
#include "support/FakePlatform.h"
#include "support/SettingsLines.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kestrova::test {
namespace {

constexpr qint64 kHourMs = 60LL * 60 * 1000;

class AlarmsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeSettingsLines(QDir(folder.path()).filePath(QStringLiteral("Kestrova.ini")),
                                       newSettingsLines(folder.path(), fakes.clock.now())));
        circuitOwned = std::make_unique<Circuit>(fakes.platform(), folder.path());
        ASSERT_TRUE(circuit().takeFolder());
        circuit().settings().readSettings();
    }
    void TearDown() override {
        if (circuitOwned) {
            circuit().stop();
            circuit().stopTimers();
        }
    }
    Circuit& circuit() { return *circuitOwned; }
    AlarmSources sources() {
        return {.recorder = circuit().recorder(),
                .archive = circuit().archive(),
                .settings = circuit().values(),
                .events = fakes.events,
                .clock = fakes.clock,
                .disk = fakes.diskSpace,
                .programFolder = folder.path()};
    }
    QStringList commandLines() const {
        QFile file(QDir(folder.path()).filePath(QStringLiteral("alarme.txt")));
        return file.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }

    FakePlatform fakes;
    QTemporaryDir folder;
    std::unique_ptr<Circuit> circuitOwned;
};

// Each alarm starts and ends with what it watches, once: one log line, one signal
// and one run of the command each way, however often it is looked at meanwhile.
TEST_F(AlarmsTest, EachAlarmStartsAndEndsOnceWithWhatItWatches) {
    AlarmSettings settings;
    settings.quietHours = 2;
    settings.daysFree = 7;
    settings.command = QStringLiteral("echo \"$KESTROVA_ALARM_ZUSTAND $KESTROVA_ALARM\" >> alarme.txt");
    fakes.diskSpace.free = 0;
    Alarms alarms(sources(), settings);
    QSignalSpy changes(&alarms, &Alarms::alarmChanged);
    alarms.start();
    // A full disk with nothing filed this week gives no rate to judge by.
    EXPECT_TRUE(alarms.active().isEmpty());

    // Quiet by the monotonic clock alone: a wall clock stepped by days raises nothing.
    fakes.clock.advance(2 * kHourMs - 1000);
    fakes.clock.set(fakes.clock.now().addDays(3));
    alarms.review();
    EXPECT_TRUE(alarms.active().isEmpty());
    EXPECT_TRUE(alarms.quietTimer().isActive());
    fakes.clock.set(fakes.clock.now().addDays(-3));
    fakes.clock.advance(1000);
    alarms.review();
    alarms.review();
    EXPECT_EQ(alarms.activeTexts(), QStringList{QStringLiteral("Keine Aufnahme seit 2 Stunden")});
    emit circuit().archive().recordingFiled(makeRecordingName(1, fakes.clock.now()), {});
    EXPECT_TRUE(alarms.active().isEmpty());

    // The input's alarm ends as it delivers again, not as the program's end closes it.
    Recorder& recorder = circuit().recorder();
    emit recorder.switchChanged(true);
    emit recorder.meter().inputNoteChanged(QStringLiteral("Eingabegerät liefert nichts"));
    EXPECT_EQ(alarms.activeKeys(), QStringList{QStringLiteral("eingang")});
    emit recorder.switchChanged(false);
    emit recorder.meter().inputNoteChanged(QString());
    EXPECT_EQ(alarms.activeKeys(), QStringList{QStringLiteral("eingang")});
    emit recorder.switchChanged(true);
    emit recorder.meter().inputNoteChanged(QString());

    // A day's 1000 s at the settings' rate, in each copy: room for seven days ends the
    // alarm, less raises it.
    const int copies = circuit().values().archiveRecordings != 0 ? 2 : 1;
    const double perDay = (1000.0 * circuit().values().meterSampleRate + 44) * copies;
    circuit().archive().recordingList().append(
        {makeRecordingName(1, fakes.clock.now().addSecs(-3600)), 1000});
    fakes.diskSpace.free = static_cast<qint64>(perDay * 7) - 1;
    alarms.review();
    EXPECT_EQ(alarms.activeKeys(), QStringList{QStringLiteral("speicherplatz")});
    fakes.diskSpace.free.reset(); // a disk that does not answer changes nothing
    alarms.review();
    EXPECT_EQ(alarms.activeKeys(), QStringList{QStringLiteral("speicherplatz")});
    fakes.diskSpace.free = static_cast<qint64>(perDay * 7) + 1;
    alarms.review();

    emit circuit().archive().deletionHoldChanged(QStringLiteral("Uhr zweifelhaft"));
    EXPECT_EQ(alarms.activeTexts(), QStringList{QStringLiteral("Löschen angehalten")});
    emit circuit().archive().deletionHoldChanged(QString());
    EXPECT_TRUE(alarms.active().isEmpty());

    EXPECT_EQ(changes.size(), 8);
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Alarm: ")).size(), 4);
    EXPECT_EQ(fakes.events.containing(QStringLiteral("Alarm beendet: ")).size(), 4);
    ASSERT_TRUE(QTest::qWaitFor([this] { return commandLines().size() >= 8; }, 10000));
    QStringList ran = commandLines();
    ran.sort();
    EXPECT_EQ(ran.join(u','), QStringLiteral("beginnt eingang,beginnt keine_aufnahme,beginnt loeschsperre,"
                                             "beginnt speicherplatz,endet eingang,endet keine_aufnahme,"
                                             "endet loeschsperre,endet speicherplatz"));
}

} // namespace
} // namespace kestrova::test
