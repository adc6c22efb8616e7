// The transmitter on its own: the key, the control port and what it tells.
#include "base/transmit/Transmitter.h"

#include "base/settings/SettingsStore.h"
#include "support/FakePlatform.h"

#include <QList>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// The transmitter stands without a window: whoever shows it follows its signals.
TEST(TransmitterAlone, KeysAndTellsItsFollowersWithoutAnyForm) {
    FakePlatform fakes;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, QString());
    settings.change([](SettingsValues& values) {
        values.txControlEnabled = 1;
        values.pttPin = 4;
        values.comPortName = QStringLiteral("/dev/ttyS1");
    });
    Transmitter transmitter(platform, settings);
    QList<bool> keyed;
    QList<bool> button;
    QObject::connect(&transmitter, &Transmitter::keyedChanged, [&keyed](bool on) { keyed << on; });
    QObject::connect(&transmitter, &Transmitter::txButtonChanged, [&button](bool on) { button << on; });
    transmitter.openControlPort();
    transmitter.togglePushToTalk();
    EXPECT_TRUE(fakes.serial.dtr);
    transmitter.togglePushToTalk();
    EXPECT_FALSE(fakes.serial.dtr);
    EXPECT_EQ(keyed, QList<bool>({true, false}));
    EXPECT_EQ(button, QList<bool>({true, false}));

    // A port that fails while keyed: the followers hear it let go, the button too.
    transmitter.togglePushToTalk();
    fakes.serial.failed = true;
    transmitter.transmitterOff();
    EXPECT_EQ(keyed.last(), false);
    EXPECT_EQ(button.last(), false);
    EXPECT_FALSE(transmitter.hasControlPort());
}

} // namespace
} // namespace kestrova::test
