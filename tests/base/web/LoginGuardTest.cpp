#include "base/web/LoginGuard.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <vector>

namespace kestrova {
namespace {

using Outcome = LoginGuard::Outcome;

constexpr qint64 kMinuteMs = 60 * 1000;

class LoginGuardTest : public testing::Test {
protected:
    // The check itself is the caller's; here the test says how it came out.
    LoginGuard::Attempt tryPassword(const QHostAddress& client, bool matched) {
        const LoginGuard::Admission admission = guard_.admit(client);
        if (!admission.admitted) {
            return {Outcome::TooManyTries, {}, admission.waitSeconds};
        }
        return guard_.settle(client, admission, matched);
    }
    LoginGuard::Attempt guess(const char* client) {
        return tryPassword(QHostAddress(QString::fromLatin1(client)), false);
    }
    bool admits(const char* client) {
        return guard_.admit(QHostAddress(QString::fromLatin1(client))).admitted;
    }

    std::atomic<qint64> now_{1000};
    LoginGuard guard_{QStringLiteral("pbkdf2-sha256$100000$00$00"), [this] { return now_.load(); }};
};

TEST_F(LoginGuardTest, TheUserWhoMistypesTwiceIsNotSlowedDown) {
    EXPECT_EQ(guess("192.0.2.7").outcome, Outcome::WrongPassword);
    EXPECT_EQ(guess("192.0.2.7").outcome, Outcome::WrongPassword);
    const LoginGuard::Attempt accepted = tryPassword(QHostAddress(QStringLiteral("192.0.2.7")), true);
    ASSERT_EQ(accepted.outcome, Outcome::Accepted);
    EXPECT_TRUE(guard_.hasSession(accepted.token));
    // The right password forgives the address its typing errors.
    EXPECT_EQ(guess("192.0.2.7").outcome, Outcome::WrongPassword);
    now_ += LoginGuard::kSessionMs;
    EXPECT_FALSE(guard_.hasSession(accepted.token));
}

TEST_F(LoginGuardTest, AnAddressCountsForItsNetwork) {
    // Misses from five addresses of a /24, one of them IPv4-mapped, close that /24 only.
    for (const char* client : {"198.51.100.1", "::ffff:198.51.100.2", "198.51.100.3", "198.51.100.4"}) {
        EXPECT_EQ(guess(client).outcome, Outcome::WrongPassword) << client;
    }
    EXPECT_EQ(guess("198.51.100.5").outcome, Outcome::TooManyTries);
    EXPECT_FALSE(admits("::ffff:198.51.100.200"));
    EXPECT_TRUE(admits("198.51.101.1"));

    now_ += LoginGuard::kLongestWaitMs;
    for (const char* client :
         {"2001:db8:1:2::1", "2001:db8:1:2::2", "2001:db8:1:2:ab::3", "2001:db8:1:2:cd::4"}) {
        EXPECT_EQ(guess(client).outcome, Outcome::WrongPassword) << client;
    }
    EXPECT_EQ(guess("2001:db8:1:2:ffff:ffff:ffff:ffff").outcome, Outcome::TooManyTries);
    EXPECT_FALSE(admits("2001:db8:1:2:1234::1"));
    EXPECT_TRUE(admits("2001:db8:1:3::1"));
}

TEST_F(LoginGuardTest, GuessersFromEverywhereGetAFewChecksAMinuteAndLockNobodyOut) {
    const QHostAddress owner(QStringLiteral("203.0.113.5"));
    const QByteArray session = tryPassword(owner, true).token;
    // A new address for every request, ten requests a second, in eight networks.
    std::vector<int> checksPerMinute(11, 0);
    for (int request = 0; request < 11 * 600; ++request) {
        const auto network = quint32(request % 8);
        const auto host = quint32(1 + (request / 8) % 250);
        const QHostAddress client(0x0A000000U + (network << 8U) + host);
        const LoginGuard::Admission admission = guard_.admit(client);
        if (admission.admitted) {
            guard_.settle(client, admission, false);
            ++checksPerMinute[static_cast<size_t>(request / 600)];
        }
        now_ += 100;
    }
    EXPECT_LE(checksPerMinute[0], 16);
    // Then about two a minute, and one for each network whenever its own misses ran out.
    const int later = std::accumulate(checksPerMinute.begin() + 1, checksPerMinute.end(), 0);
    EXPECT_LE(later, 10 * 2 + 8 * 4);
    EXPECT_FALSE(admits("10.0.3.251"));
    // A first try from a network without misses is heard at once, and so is the next
    // (its check still running, as when the browser was tired of waiting, is no miss);
    // so are this machine's own address and a valid session, even from a guessing network.
    EXPECT_TRUE(admits("198.51.100.9"));
    EXPECT_EQ(tryPassword(QHostAddress(QStringLiteral("198.51.100.9")), true).outcome, Outcome::Accepted);
    EXPECT_EQ(tryPassword(QHostAddress(QStringLiteral("::1")), true).outcome, Outcome::Accepted);
    EXPECT_TRUE(guard_.admit(QHostAddress(QStringLiteral("10.0.3.252")), session).admitted);
    EXPECT_FALSE(guard_.admit(QHostAddress(QStringLiteral("10.0.3.253")), "erfunden").admitted);
}

TEST_F(LoginGuardTest, MissesRunOutSoTheUserGetsBackIn) {
    // A guesser who tried again whenever he was let, for an hour or so ...
    LoginGuard::Attempt attempt = guess("203.0.113.9");
    for (int miss = 0; miss < 20; ++miss) {
        now_ += attempt.waitSeconds * 1000;
        attempt = guess("203.0.113.9");
    }
    EXPECT_EQ(attempt.outcome, Outcome::TooManyTries);
    // ... one try every quarter of an hour wins the free misses back.
    int quarters = 0;
    do {
        now_ += 15 * kMinuteMs;
        ++quarters;
    } while (guess("203.0.113.9").outcome != Outcome::WrongPassword && quarters < 10);
    EXPECT_LE(quarters, 5);
    EXPECT_EQ(tryPassword(QHostAddress(QStringLiteral("203.0.113.9")), true).outcome, Outcome::Accepted);
}

TEST_F(LoginGuardTest, ChecksStillRunningHoldTheirPlaceButCountNoMiss) {
    int admitted = 0;
    for (int request = 0; request < 10; ++request) {
        admitted += admits("192.0.2.50") ? 1 : 0;
    }
    EXPECT_EQ(admitted, LoginGuard::kPerAddress.freeMisses);
    const LoginGuard::Admission refused = guard_.admit(QHostAddress(QStringLiteral("192.0.2.50")));
    EXPECT_EQ(refused.waitSeconds, 1);
    // Never settled, they let go after a minute; neither they nor the refusals were misses.
    now_ += kMinuteMs + 1;
    EXPECT_EQ(guess("192.0.2.50").outcome, Outcome::WrongPassword);
    EXPECT_EQ(guess("192.0.2.50").outcome, Outcome::WrongPassword);
    EXPECT_EQ(guess("192.0.2.50").outcome, Outcome::TooManyTries);
    // Strangers together hold a few checks at once; this machine's own address keeps room.
    for (quint32 network = 0; network < LoginGuard::kMostStrangerChecks; ++network) {
        EXPECT_TRUE(guard_.admit(QHostAddress(0xC6336401U + (network << 8U))).admitted) << network;
    }
    EXPECT_FALSE(admits("198.51.200.1"));
    EXPECT_TRUE(admits("127.0.0.1"));
}

TEST_F(LoginGuardTest, ServesThreadsSideBySide) {
    // Right passwords from ever new networks: the tables and the sessions change all the time.
    std::atomic<bool> go{false};
    std::vector<std::unique_ptr<QThread>> threads;
    for (quint32 thread = 0; thread < 4; ++thread) {
        threads.emplace_back(QThread::create([this, thread, &go] {
            while (!go.load()) {
                QThread::yieldCurrentThread();
            }
            for (quint32 request = 0; request < 2000; ++request) {
                const QHostAddress client(((thread << 24U) + (request << 8U)) | 1U);
                const LoginGuard::Attempt attempt = tryPassword(client, true);
                EXPECT_EQ(attempt.outcome, Outcome::Accepted);
                EXPECT_TRUE(guard_.hasSession(attempt.token));
                guard_.endSession(attempt.token);
            }
        }));
        threads.back()->start();
    }
    go = true;
    for (const auto& thread : threads) {
        thread->wait();
    }
}

} // namespace
} // namespace kestrova
