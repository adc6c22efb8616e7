// The recorder alone: switching, the meter and the capture, and what it tells and asks.
#include "base/recorder/Recorder.h"

#include "base/archive/Archive.h"
#include "base/files/FolderLock.h"
#include "base/recorder/LevelMeterControl.h"
#include "base/settings/SettingsStore.h"
#include "base/settings/SettingsValues.h"
#include "support/FakePlatform.h"

#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace kestrova::test {
namespace {

// The recorder stands without a window: whoever shows it follows its signals, and
// what it asks of the list, the player and the archive is handed in.
TEST(RecorderAlone, RecordsAndTellsItsFollowersWithoutAnyForm) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, folder.path());
    settings.change([](SettingsValues& values) {
        values.meterSampleRate = 11025;
        values.circuitNumber = 1;
        values.maxRecordLimit = 600;
    });
    Archive archive(platform, settings);
    FolderLock lock(folder.path());
    ASSERT_EQ(lock.tryLock(), FolderLock::Result::Locked);
    Recorder recorder(platform, settings.values, folder.path(), archive, lock);
    QStringList asked;
    QObject::connect(&recorder, &Recorder::switchingOff, [&asked] { asked << QStringLiteral("press"); });
    QObject::connect(&recorder, &Recorder::switchedOff, [&asked] { asked << QStringLiteral("play"); });
    // The archive is handed the saved capture first of all.
    QObject::connect(&archive, &Archive::playerFileChosen,
                     [&asked](const QString& path) { asked << QFileInfo(path).fileName(); });
    QList<bool> shown;
    QList<bool> overload;
    QList<bool> recording;
    int states = 0;
    QObject::connect(&recorder, &Recorder::recordingChanged, [&recording](bool on) { recording << on; });
    QObject::connect(&recorder, &Recorder::switchShown, [&shown](bool on) { shown << on; });
    QObject::connect(&recorder, &Recorder::stateChanged, [&states] { ++states; });
    QObject::connect(&recorder.meter(), &LevelMeterControl::overloadChanged,
                     [&overload](bool lit) { overload << lit; });
    recorder.capture().setRateText(QStringLiteral("11025"));
    recorder.meter().setThreshold(50);

    recorder.switchOn();
    EXPECT_TRUE(recorder.isSwitchedOn());
    EXPECT_TRUE(recorder.recordingActive);
    fakes.audioInput.push(std::vector<std::uint8_t>(2048, 255));
    recorder.meter().tmrPegel_Timer();
    EXPECT_EQ(recorder.meter().barValue, 102);
    EXPECT_EQ(overload, QList<bool>({true}));
    EXPECT_TRUE(recorder.pauseWatchTimer().isActive()); // the signal was heard

    QList<bool> box;
    QObject::connect(&recorder, &Recorder::switchChanged, [&box](bool on) { box << on; });
    const QString name = recorder.capture().recordingName;
    recorder.switchOff();
    EXPECT_EQ(asked, QStringList({QStringLiteral("press"), name, QStringLiteral("play")}));
    EXPECT_EQ(shown, QList<bool>({true, false}));
    EXPECT_EQ(box, QList<bool>({false}));
    EXPECT_EQ(recorder.meter().barValue, 0);
    EXPECT_FALSE(recorder.isSwitchedOn());
    EXPECT_EQ(states, 3); // on, recording once the signal was heard, then off
    EXPECT_EQ(recording, QList<bool>({true, false}));
}

// The service's input hands over 400 ms at a time: the meter and the recording clock
// then wake every second block, with the same ticks, and never between two blocks.
TEST(RecorderAlone, WakesEverySecondBlockWhenTheBlocksAreLarge) {
    FakePlatform fakes;
    fakes.audioInput.blockSpacing = 400;
    const QTemporaryDir folder;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, folder.path());
    Archive archive(platform, settings);
    FolderLock lock(folder.path());
    const Recorder recorder(platform, settings.values, folder.path(), archive, lock);
    EXPECT_EQ(recorder.meter().meterTimer().wakeInterval(), 800);
    EXPECT_EQ(recorder.meter().meterTimer().interval(), 10);
    EXPECT_EQ(recorder.recordingClock().wakeInterval(), 800);
    EXPECT_EQ(recorder.recordingClock().interval(), 100);
}

} // namespace
} // namespace kestrova::test
