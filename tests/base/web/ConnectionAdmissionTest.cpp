#include "base/web/ConnectionAdmission.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

const QHostAddress kOwn(QStringLiteral("127.0.0.1"));

class ConnectionAdmissionTest : public ::testing::Test {
protected:
    // Knocks and, when let in, opens; the connection's name, or nullptr when refused.
    void* connect(const QString& client) {
        const ConnectionAdmission::Verdict verdict = admission_.knock(QHostAddress(client));
        ended_ = verdict.toEnd;
        if (verdict.toEnd != nullptr) {
            admission_.closed(verdict.toEnd); // as the server reports it later
        }
        if (!verdict.admitted) {
            return nullptr;
        }
        void* connection = &names_.at(next_++);
        admission_.opened(connection, QHostAddress(client));
        return connection;
    }

    ConnectionAdmission admission_{{.connections = 8, .perAddress = 2, .perNetwork = 3}, {kOwn}};
    std::array<char, 64> names_{};
    std::size_t next_ = 0;
    void* ended_ = nullptr;
};

TEST_F(ConnectionAdmissionTest, CountsPerAddressAndPerNetwork) {
    EXPECT_NE(connect(QStringLiteral("10.0.1.1")), nullptr);
    void* second = connect(QStringLiteral("10.0.1.1"));
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(connect(QStringLiteral("10.0.1.1")), nullptr);
    EXPECT_NE(connect(QStringLiteral("::ffff:10.0.1.2")), nullptr); // the same /24, seen on an IPv6 socket
    EXPECT_EQ(connect(QStringLiteral("10.0.1.3")), nullptr);
    admission_.closed(second);
    EXPECT_NE(connect(QStringLiteral("10.0.1.3")), nullptr);

    EXPECT_NE(connect(QStringLiteral("2001:db8:0:1::a")), nullptr);
    EXPECT_NE(connect(QStringLiteral("2001:db8:0:1::b")), nullptr);
    EXPECT_NE(connect(QStringLiteral("2001:db8:0:1:ffff::c")), nullptr);
    EXPECT_EQ(connect(QStringLiteral("2001:db8:0:1::d")), nullptr); // one /64 is one network
    EXPECT_EQ(ended_, nullptr);                                     // refused for its network, it ends nobody
}

TEST_F(ConnectionAdmissionTest, CrowdEndsItsOwnIdleConnectionsAndNeverTheReserve) {
    std::vector<void*> crowd;
    for (int i = 1; i <= 6; ++i) {
        crowd.push_back(connect(QStringLiteral("10.0.%1.1").arg(i)));
    }
    // The ordinary share (three quarters) is full: the next ends the one that waited longest.
    admission_.requestIsWhole(crowd[0]);
    void* session = connect(QStringLiteral("192.168.1.5"));
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(ended_, crowd[1]);
    admission_.requestIsWhole(session);
    admission_.requestAnswered(crowd[0]); // waits again, from now on
    void* late = connect(QStringLiteral("10.0.7.1"));
    EXPECT_NE(late, nullptr);
    EXPECT_EQ(ended_, crowd[2]);

    EXPECT_NE(connect(kOwn.toString()), nullptr);
    EXPECT_NE(connect(kOwn.toString()), nullptr);
    EXPECT_EQ(ended_, nullptr); // the reserve held room for them

    // A connection that never sent a whole request goes before one that did, however young.
    for (void* connection : {crowd[3], crowd[4], crowd[5]}) {
        admission_.requestIsWhole(connection);
    }
    void* last = connect(QStringLiteral("10.0.8.1"));
    EXPECT_EQ(ended_, late);
    // With every ordinary connection busy, a newcomer is refused at once.
    admission_.requestIsWhole(last);
    admission_.requestIsWhole(crowd[0]);
    EXPECT_EQ(connect(QStringLiteral("10.0.9.1")), nullptr);
}

} // namespace
} // namespace kestrova
