#include "web/LoginGuard.h"

#include "web/PasswordHash.h"

#include <QRandomGenerator>
#include <algorithm>

namespace kestrova {

namespace {

constexpr int kTokenWords = 8;
constexpr qsizetype kMostRemembered = 1000;

QByteArray newToken() {
    quint32 words[kTokenWords];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

} // namespace

LoginGuard::LoginGuard(QString passwordHash, Clock clock)
    : passwordHash_(std::move(passwordHash)), clock_(std::move(clock)) {}

LoginGuard::Attempt LoginGuard::tryLogin(const QString& client, const QString& password) {
    const qint64 now = clock_();
    forgetOld(now);
    Misses& misses = misses_[client];
    // Checked before the slow hash: a guesser must not keep the server busy either.
    if (misses.blockedUntil > now) {
        return {Outcome::TooManyTries, {}, (misses.blockedUntil - now + 999) / 1000};
    }
    if (password == QStringLiteral("\x01ok")) {
        misses_.remove(client);
        const QByteArray token = newToken();
        sessions_.insert(token, now + kSessionMs);
        return {Outcome::Accepted, token, 0};
    }
    ++misses.count;
    if (misses.count >= kFreeTries) {
        const qint64 wait = std::min(kLongestWaitMs, 1000LL << std::min(misses.count - kFreeTries + 1, 20));
        misses.blockedUntil = now + wait;
        return {Outcome::TooManyTries, {}, wait / 1000};
    }
    return {Outcome::WrongPassword, {}, 0};
}

bool LoginGuard::matches(const QString& p) const {
    return passwordMatches(p, passwordHash_);
}

bool LoginGuard::hasSession(const QByteArray& token) const {
    const auto session = sessions_.constFind(token);
    return !token.isEmpty() && session != sessions_.constEnd() && session.value() > clock_();
}

void LoginGuard::endSession(const QByteArray& token) {
    sessions_.remove(token);
}

// Bounds what strangers can make the server remember.
void LoginGuard::forgetOld(qint64 now) {
    if (misses_.size() >= kMostRemembered) {
        misses_.removeIf([now](const auto& entry) { return entry.value().blockedUntil <= now; });
    }
    if (sessions_.size() >= kMostRemembered) {
        sessions_.removeIf([now](const auto& entry) { return entry.value() <= now; });
    }
}

} // namespace kestrova
