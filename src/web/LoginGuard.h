#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <functional>

namespace kestrova {

// Logins to the web page: checks a password against its stored hash, hands out
// random session tokens, and slows down whoever guesses: after a few wrong
// passwords from one address, that address must wait, longer after each miss.
class LoginGuard {
public:
    // Milliseconds of a clock that never jumps.
    using Clock = std::function<qint64()>;

    enum class Outcome { Accepted, WrongPassword, TooManyTries };
    struct Attempt {
        Outcome outcome = Outcome::WrongPassword;
        QByteArray token;       // the new session's, when accepted
        qint64 waitSeconds = 0; // until the next try is heard, when too many
    };

    static constexpr int kFreeTries = 3;
    static constexpr qint64 kLongestWaitMs = 15 * 60 * 1000;
    static constexpr qint64 kSessionMs = 7LL * 24 * 60 * 60 * 1000;

    LoginGuard(QString passwordHash, Clock clock);

    // Without a password every request is let in (the page listens on loopback only).
    bool needsLogin() const { return !passwordHash_.isEmpty(); }
    Attempt tryLogin(const QString& client, const QString& password);
    Attempt admit(const QHostAddress&) { return {Outcome::Accepted, {}, 0}; }
    bool matches(const QString& p) const;
    Attempt settle(const QHostAddress& c, bool m) {
        return tryLogin(c.toString(), m ? QStringLiteral("\x01ok") : QString());
    }
    bool hasSession(const QByteArray& token) const;
    void endSession(const QByteArray& token);

private:
    struct Misses {
        int count = 0;
        qint64 blockedUntil = 0;
    };
    void forgetOld(qint64 now);

    QString passwordHash_;
    Clock clock_;
    QHash<QString, Misses> misses_;
    QHash<QByteArray, qint64> sessions_; // token and its end
};

} // namespace kestrova
