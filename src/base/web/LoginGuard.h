#pragma once

#include "base/web/MissTable.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QString>
#include <array>
#include <functional>

namespace kestrova {

// Logins to the web page: hands out random session tokens for the right password and
// slows down whoever guesses. A wrong password counts three times: for the client's
// address, for its network (/24 for IPv4, /64 for IPv6; an IPv4-mapped address counts
// as IPv4) and for all clients together, so new addresses gain a guesser nothing. Each
// count lets a few misses go free (3, 5 and 6), then makes the clients it covers wait
// 2 s, twice as long after each further miss, at most 15 minutes, and forgets one miss
// every 5 minutes, 3 minutes and 30 seconds. So a user who mistypes twice never waits
// and gets back in after a pause, while guessers from anywhere get about two checks a
// minute once their first ten or so are spent.
//
// The password check is slow, so it is split for the server: admit() on the serving
// thread, matches() on any thread, settle() with its result. Every method may be called
// from any thread.
class LoginGuard {
public:
    // Milliseconds of a clock that never jumps; called on any thread.
    using Clock = std::function<qint64()>;

    struct Admission {
        bool admitted = false;
        qint64 waitSeconds = 0; // until the next try is heard, when not admitted
    };
    enum class Outcome { Accepted, WrongPassword, TooManyTries };
    struct Attempt {
        Outcome outcome = Outcome::WrongPassword;
        QByteArray token;       // the new session's, when accepted
        qint64 waitSeconds = 0; // until the next try is heard, when too many
    };

    static constexpr qint64 kLongestWaitMs = 15 * 60 * 1000;
    static constexpr MissRule kPerAddress{3, 2000, kLongestWaitMs, 5 * 60 * 1000};
    static constexpr MissRule kPerNetwork{5, 2000, kLongestWaitMs, 3 * 60 * 1000};
    static constexpr MissRule kForAll{6, 2000, kLongestWaitMs, 30 * 1000};
    static constexpr qint64 kSessionMs = 7LL * 24 * 60 * 60 * 1000;

    LoginGuard(QString passwordHash, Clock clock);

    // Without a password every request is let in (the page listens on loopback only).
    bool needsLogin() const { return !passwordHash_.isEmpty(); }
    // Whether a password from client may be checked now. Cheap; an admitted check
    // holds its place in the counts until it is settled (or for a minute at most).
    Admission admit(const QHostAddress& client);
    // The slow check itself.
    bool matches(const QString& password) const;
    // Records an admitted check's result: a miss counts, a match opens a session.
    Attempt settle(const QHostAddress& client, bool matched);
    bool hasSession(const QByteArray& token) const;
    void endSession(const QByteArray& token);

private:
    struct CountedAs {
        MissTable* table;
        QHostAddress key;
    };
    using Counts = std::array<CountedAs, 3>;
    Counts countsOf(const QHostAddress& client);
    QByteArray openSession(qint64 now);

    const QString passwordHash_;
    const Clock clock_;
    mutable QMutex mutex_;
    MissTable addresses_{kPerAddress};
    MissTable networks_{kPerNetwork};
    MissTable everybody_{kForAll};
    QHash<QByteArray, qint64> sessions_; // token and its end
};

} // namespace kestrova
