#include "base/desktop/SystemdNotifier.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kestrova::test {
namespace {

QProcessEnvironment environment(const QStringList& assignments) {
    QProcessEnvironment result;
    for (const QString& assignment : assignments) {
        result.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    }
    return result;
}

// The watchdog's timeout is this process's only where systemd named it, or named nobody.
TEST(SystemdNotifierTest, WatchesOnlyTheProcessTheManagerNamed) {
    const qint64 pid = 4711;
    const QString socket = QStringLiteral("NOTIFY_SOCKET=/run/systemd/notify");
    const QString timeout = QStringLiteral("WATCHDOG_USEC=30000000");
    const auto watched = [pid](const QStringList& assignments) {
        return SystemdNotifier(environment(assignments), pid).watchdogTimeout().count();
    };
    EXPECT_EQ(watched({socket, timeout}), 30'000'000);
    EXPECT_EQ(watched({socket, timeout, QStringLiteral("WATCHDOG_PID=4711")}), 30'000'000);
    EXPECT_EQ(watched({socket, timeout, QStringLiteral("WATCHDOG_PID=1")}), 0);
    EXPECT_EQ(watched({timeout}), 0);
    EXPECT_EQ(watched({socket, QStringLiteral("WATCHDOG_USEC=dreißig")}), 0);
}

// An abstract name is as long as it is written: a zero after it would name another socket.
TEST(SystemdNotifierTest, ReachesAnAbstractSocket) {
    const QByteArray name = "kestrova-notify-test-" + QByteArray::number(QCoreApplication::applicationPid());
    const int receiver = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(receiver, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), &address.sun_path[1]);
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    ASSERT_EQ(::bind(receiver, reinterpret_cast<const sockaddr*>(&address), length), 0);

    SystemdNotifier notifier(environment({"NOTIFY_SOCKET=@" + QString::fromLatin1(name)}), 1);
    notifier.notify("READY=1\nSTATUS=Aufnahme läuft");
    char received[64] = {};
    const ssize_t size = ::recv(receiver, received, sizeof received, MSG_DONTWAIT);
    ::close(receiver);
    EXPECT_EQ(QByteArray(received, static_cast<int>(std::max<ssize_t>(size, 0))),
              QByteArray("READY=1\nSTATUS=Aufnahme läuft"));
}

} // namespace
} // namespace kestrova::test
