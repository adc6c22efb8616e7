#include "base/serial/QtSerialLines.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kestrova {
namespace {

TEST(QtSerialLines, AMissingPortFailsCleanly) {
    QtSerialLines lines;
    EXPECT_FALSE(lines.open(QStringLiteral("/dev/ttyKestrovaMissing")));
    EXPECT_EQ(lines.failure(), SerialFailure::Missing);
    EXPECT_FALSE(lines.isOpen());
    EXPECT_FALSE(lines.setDtr(true));
    EXPECT_FALSE(lines.setRts(true));
    EXPECT_FALSE(lines.modemStatus().has_value());
    lines.close();
    lines.close();
}

// The master side of a pseudo-terminal; its slave stands in for a serial port.
class PseudoTerminal {
public:
    PseudoTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            slave_ = QString::fromLocal8Bit(ptsname(master_));
        }
    }
    ~PseudoTerminal() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const QString& slave() const { return slave_; }

private:
    int master_ = -1;
    QString slave_;
};

TEST(QtSerialLines, APseudoTerminalEitherTakesTheLinesOrIsRefusedWhole) {
    PseudoTerminal terminal;
    if (terminal.slave().isEmpty()) {
        GTEST_SKIP() << "no pseudo-terminals here";
    }
    QtSerialLines lines;
    // Linux pseudo-terminals have no modem lines; a port whose lines cannot be
    // lowered must not be reported open, since it could not be trusted with PTT.
    const bool opened = lines.open(terminal.slave());
    EXPECT_EQ(opened, lines.isOpen());
#ifdef __linux__
    EXPECT_FALSE(opened);
    EXPECT_EQ(lines.failure(), SerialFailure::NoControlLines);
#endif
    if (opened) {
        EXPECT_TRUE(lines.setDtr(false));
        EXPECT_TRUE(lines.setRts(false));
    }
    lines.close();
    lines.close();
    EXPECT_FALSE(lines.isOpen());
}

} // namespace
} // namespace kestrova
