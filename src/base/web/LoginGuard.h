#pragma once

#include "base/web/MissTable.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QString>
#include <functional>
#include <vector>

namespace kestrova {

// Logins to the web page: hands out random session tokens for the right password and
// slows down whoever guesses. A wrong password counts three times: for the client's
// address, for its network (/24 for IPv4, /64 for IPv6; an IPv4-mapped address counts
// as IPv4) and for all clients together. Each count lets a few misses go free (3, 5
// and 6), then makes the clients it covers wait 2 s, twice as long after each further
// miss, at most 15 minutes, and forgets one miss every 5 minutes, 3 minutes and 30
// seconds. The count of all clients only slows down addresses and networks that have
// missed themselves: it never holds back a first try from a clean address and network,
// so guessers elsewhere cannot lock out the owner, and new addresses in a guessing
// network gain nothing.
//
// Two kinds of client keep checks of their own, which no guesser elsewhere can use
// up: a holder of a valid session (counted for that session alone) and this machine's
// own address, 127.0.0.1 or ::1 (counted for that address alone), where a browser on
// the machine or a reverse proxy comes from. All other clients together have at most
// kMostStrangerChecks checks running at once, fewer than the server lets wait, so
// the reserved ones always find room.
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
        QByteArray session;     // the valid session the check is counted for, if any
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
    static constexpr int kMostStrangerChecks = 6;
    static constexpr qint64 kSessionMs = 7LL * 24 * 60 * 60 * 1000;

    LoginGuard(QString passwordHash, Clock clock);

    // Without a password every request is let in (the page listens on loopback only).
    bool needsLogin() const { return !passwordHash_.isEmpty(); }
    // Whether a password from client, which sent the session token (or none), may be
    // checked now. Cheap; an admitted check holds its place in the counts until it is
    // settled (or for a minute at most).
    Admission admit(const QHostAddress& client, const QByteArray& token = {});
    // The slow check itself.
    bool matches(const QString& password) const;
    // Records an admitted check's result: a miss counts, a match opens a session.
    Attempt settle(const QHostAddress& client, const Admission& admission, bool matched);
    bool hasSession(const QByteArray& token) const;
    void endSession(const QByteArray& token);

private:
    struct CountedAs {
        MissTable* table;
        QByteArray key;
    };
    // The client's own counts, and whether the count of all clients covers it too.
    struct Counts {
        std::vector<CountedAs> own;
        bool byEverybody = false;
    };
    Counts countsOf(const QHostAddress& client, const QByteArray& session);
    std::vector<CountedAs> allOf(const Counts& counts);
    qint64 waitMs(const Counts& counts, qint64 now);
    bool isValidSession(const QByteArray& token, qint64 now) const;
    QByteArray openSession(qint64 now);

    const QString passwordHash_;
    const Clock clock_;
    mutable QMutex mutex_;
    MissTable addresses_{kPerAddress};
    MissTable networks_{kPerNetwork};
    MissTable everybody_{kForAll};
    MissTable sessionMisses_{kPerAddress};
    QHash<QByteArray, qint64> sessions_; // token and its end
};

} // namespace kestrova
