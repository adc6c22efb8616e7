// One circuit made once: its parts reach each other without a program wiring them.
#include "base/program/Circuit.h"

#include "archive/RecordingFiles.h"
#include "support/FakePlatform.h"
#include "support/SettingsLines.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(CircuitAlone, ItsPartsFollowTheSettingsAndATimedTransmissionStopsItsPlayback) {
    FakePlatform fakes;
    const QTemporaryDir folder;
    ASSERT_TRUE(writeSettingsLines(
        QDir(folder.path()).filePath(QStringLiteral("Kestrova.ini")),
        newSettingsLines(
            folder.path(), fakes.clock.now(),
            {{9, QStringLiteral("80")}, {22, QStringLiteral("25")}, {26, QStringLiteral("4")}})));
    Circuit circuit(fakes.platform(), folder.path());
    ASSERT_TRUE(circuit.takeFolder());
    circuit.settings().readSettings();
    // The values read reach the parts that run on them.
    EXPECT_EQ(circuit.recorder().meter().threshold(), 80);
    EXPECT_EQ(circuit.recorder().meter().meterInterval(), 25);
    EXPECT_EQ(circuit.autoCq().cqPauseTimer().interval(), 4000);

    const QString path = QDir(folder.path()).filePath(QStringLiteral("cq.wav"));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));
    circuit.player().file().setCurrent(path);
    circuit.player().loader().loadCurrentFile();
    circuit.player().playback().startPlayback();
    ASSERT_TRUE(circuit.player().playback().state().playing);
    // The hourly announcement keeps the air to itself, in every program that runs the circuit.
    {
        const TransmitterHold hold(circuit.transmitter(), circuit.heldSounds());
        EXPECT_FALSE(circuit.player().playback().state().playing);
    }
    circuit.stop();
    circuit.stopTimers();
}

} // namespace
} // namespace kestrova::test
