#include "base/serial/SerialPortNames.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(SerialPortNames, ANumberNamesTheSerialPortCountedFromOne) {
    EXPECT_EQ(comPortNameFor(QStringLiteral("1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(comPortNameFor(QStringLiteral(" 2 ")), QStringLiteral("/dev/ttyS1"));
    EXPECT_EQ(comPortNameFor(QStringLiteral("20")), QStringLiteral("/dev/ttyS19"));
}

TEST(SerialPortNames, ATypedPathIsUsedAsItStands) {
    EXPECT_EQ(comPortNameFor(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(comPortNameFor(QStringLiteral(" /dev/serial/by-id/usb-FTDI-if00-port0 ")),
              QStringLiteral("/dev/serial/by-id/usb-FTDI-if00-port0"));
}

TEST(SerialPortNames, ZeroAndEmptyMeanNoPort) {
    EXPECT_TRUE(isNoPort(comPortNameFor(QStringLiteral("0"))));
    EXPECT_TRUE(isNoPort(comPortNameFor(QStringLiteral("  "))));
    EXPECT_FALSE(isNoPort(comPortNameFor(QStringLiteral("1"))));
}

} // namespace
} // namespace kestrova
