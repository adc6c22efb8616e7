#include "base/web/LoginGuard.h"

#include "base/web/PasswordHash.h"

#include <QMutexLocker>
#include <QRandomGenerator>
#include <algorithm>

namespace kestrova {

namespace {

constexpr int kTokenWords = 8;
constexpr qsizetype kMostSessions = 1000;
constexpr int kIPv6NetworkBytes = 8;
constexpr quint32 kIPv4NetworkMask = 0xFFFFFF00U;

QByteArray newToken() {
    quint32 words[kTokenWords];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

qint64 wholeSeconds(qint64 ms) {
    return (ms + 999) / 1000;
}

// The address as one key: IPv4 also when it came mapped into IPv6, without a scope.
QHostAddress plainAddress(const QHostAddress& client) {
    bool isIPv4 = false;
    const quint32 ipv4 = client.toIPv4Address(&isIPv4);
    if (isIPv4) {
        return QHostAddress(ipv4);
    }
    if (client.protocol() == QAbstractSocket::IPv6Protocol) {
        return QHostAddress(client.toIPv6Address());
    }
    return {};
}

// The network a provider hands one customer, as its first address.
QHostAddress networkOf(const QHostAddress& address) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        return QHostAddress(address.toIPv4Address() & kIPv4NetworkMask);
    }
    Q_IPV6ADDR bytes = address.toIPv6Address();
    std::fill(std::begin(bytes.c) + kIPv6NetworkBytes, std::end(bytes.c), quint8{0});
    return QHostAddress(bytes);
}

} // namespace

LoginGuard::LoginGuard(QString passwordHash, Clock clock)
    : passwordHash_(std::move(passwordHash)), clock_(std::move(clock)) {}

LoginGuard::Admission LoginGuard::admit(const QHostAddress& client) {
    const QMutexLocker lock(&mutex_);
    const qint64 now = clock_();
    const Counts counts = countsOf(client);
    qint64 wait = 0;
    for (const CountedAs& count : counts) {
        wait = std::max(wait, count.table->waitMs(count.key, now));
    }
    if (wait > 0) {
        return {false, wholeSeconds(wait)};
    }
    for (const CountedAs& count : counts) {
        count.table->startCheck(count.key, now);
    }
    return {true, 0};
}

bool LoginGuard::matches(const QString& password) const {
    return passwordMatches(password, passwordHash_);
}

LoginGuard::Attempt LoginGuard::settle(const QHostAddress& client, bool matched) {
    const QMutexLocker lock(&mutex_);
    const qint64 now = clock_();
    const Counts counts = countsOf(client);
    for (const CountedAs& count : counts) {
        count.table->finishCheck(count.key);
    }
    if (matched) {
        // The address's misses were typing errors; its network's and everybody's run out.
        addresses_.forget(counts.front().key);
        return {Outcome::Accepted, openSession(now), 0};
    }
    qint64 wait = 0;
    for (const CountedAs& count : counts) {
        wait = std::max(wait, count.table->recordMiss(count.key, now));
    }
    if (wait > 0) {
        return {Outcome::TooManyTries, {}, wholeSeconds(wait)};
    }
    return {Outcome::WrongPassword, {}, 0};
}

bool LoginGuard::hasSession(const QByteArray& token) const {
    const QMutexLocker lock(&mutex_);
    const auto session = sessions_.constFind(token);
    return !token.isEmpty() && session != sessions_.constEnd() && session.value() > clock_();
}

void LoginGuard::endSession(const QByteArray& token) {
    const QMutexLocker lock(&mutex_);
    sessions_.remove(token);
}

LoginGuard::Counts LoginGuard::countsOf(const QHostAddress& client) {
    const QHostAddress address = plainAddress(client);
    return {{{&addresses_, address}, {&networks_, networkOf(address)}, {&everybody_, QHostAddress()}}};
}

// Only the password opens a session, but a full table still forgets the ended ones.
QByteArray LoginGuard::openSession(qint64 now) {
    if (sessions_.size() >= kMostSessions) {
        sessions_.removeIf([now](const auto& entry) { return entry.value() <= now; });
    }
    const QByteArray token = newToken();
    sessions_.insert(token, now + kSessionMs);
    return token;
}

} // namespace kestrova
