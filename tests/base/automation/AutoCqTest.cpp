// Auto-CQ on the player's base parts and the transmitter alone.
#include "base/automation/AutoCq.h"

#include "archive/RecordingFiles.h"
#include "base/player/LoadedFile.h"
#include "base/player/Playback.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/SpeedLabels.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/Transmitter.h"
#include "support/FakePlatform.h"

#include <QList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// Auto-CQ stands without a window: whoever shows the cycle follows its signals.
TEST(AutoCqAlone, RunsTheCycleAndTellsItsFollowersWithoutAnyForm) {
    FakePlatform fakes;
    const Platform platform = fakes.platform();
    QTemporaryDir folder;
    const QString programFolder = folder.path();
    SettingsStore settings(platform, programFolder);
    settings.change([](SettingsValues& values) {
        values.txControlEnabled = 1;
        values.pttPin = 4;
        values.squelchPin = 6;
        values.squelchActiveChar = QStringLiteral("0");
        values.comPortName = QStringLiteral("/dev/ttyS1");
        values.outputLevel = 40000;
    });
    Transmitter transmitter(platform, settings);
    transmitter.openControlPort();
    LoadedFile file;
    Playback playback(platform, transmitter, file);
    SoundFileLoader loader(platform, file, playback);
    SpeedLabels speeds(playback, loader, file, programFolder);
    loader.setSpeedLabels(speeds);
    AutoCq cq(settings.values, transmitter, playback, loader, speeds);
    const QString path = folder.filePath(QStringLiteral("cq.wav"));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(1)));
    QObject::connect(&cq, &AutoCq::soundFileWanted, [&file, &path] { file.setCurrent(path); });
    QObject::connect(&cq, &AutoCq::playerFileChosen,
                     [&file](const QString& chosen) { file.setCurrent(chosen); });
    cq.setTxControlBox(true);
    fakes.player.lengthMs = 1000;

    QList<bool> pressed;
    QStringList heard;
    QObject::connect(&cq, &AutoCq::cqChanged, [&pressed](bool on) { pressed << on; });
    QObject::connect(&cq, &AutoCq::squelchLabelShown, [&heard](bool shown) {
        heard << (shown ? QStringLiteral("shown") : QStringLiteral("hidden"));
    });
    QObject::connect(&cq, &AutoCq::squelchTextChanged, [&heard](const QString& text) { heard << text; });
    QObject::connect(&cq, &AutoCq::cqAborted, [&heard] { heard << QStringLiteral("aborted"); });
    QObject::connect(&cq, &AutoCq::notice, [&heard](const QString& text) { heard << text; });

    cq.toggleCycle();
    EXPECT_EQ(transmitter.cqFile, path);
    cq.toggleCycle();
    EXPECT_TRUE(fakes.serial.dtr);
    EXPECT_TRUE(playback.state().playing);
    EXPECT_EQ(cq.airTimeInterval(), 2000);
    // No slider handed in: the cycle keeps the volume of the settings line.
    ASSERT_FALSE(fakes.audioOutput.volumes.empty());
    EXPECT_EQ(fakes.audioOutput.volumes.back().value, (40000u << 16) | 40000u);

    fakes.serial.status.dsr = true;
    cq.tmrRSP_Timer();
    EXPECT_FALSE(fakes.serial.dtr);
    EXPECT_FALSE(cq.cqPressed());
    EXPECT_EQ(pressed, QList<bool>({true, false}));

    transmitter.cqFile = folder.filePath(QStringLiteral("missing.wav"));
    cq.toggleCycle();
    EXPECT_FALSE(fakes.serial.dtr);
    ASSERT_EQ(heard.size(), 4);
    EXPECT_EQ(heard.mid(0, 3),
              QStringList({QStringLiteral("shown"), QStringLiteral("TX_Mic"), QStringLiteral("aborted")}));
    EXPECT_TRUE(heard.last().startsWith(QStringLiteral("Auto-CQ beendet: missing.wav")));
}

} // namespace
} // namespace kestrova::test
