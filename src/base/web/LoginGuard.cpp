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

LoginGuard::Admission LoginGuard::admit(const QHostAddress& client, const QByteArray& token) {
    const QMutexLocker lock(&mutex_);
    const qint64 now = clock_();
    const QByteArray session = isValidSession(token, now) ? token : QByteArray();
    const Counts counts = countsOf(client, session);
    const qint64 wait = waitMs(counts, now);
    if (wait > 0) {
        return {false, wholeSeconds(wait), {}};
    }
    for (const CountedAs& count : allOf(counts)) {
        count.table->startCheck(count.key, now);
    }
    return {true, 0, session};
}

bool LoginGuard::matches(const QString& password) const {
    return passwordMatches(password, passwordHash_);
}

LoginGuard::Attempt LoginGuard::settle(const QHostAddress& client, const Admission& admission, bool matched) {
    const QMutexLocker lock(&mutex_);
    const qint64 now = clock_();
    const Counts counts = countsOf(client, admission.session);
    const std::vector<CountedAs> all = allOf(counts);
    for (const CountedAs& count : all) {
        count.table->finishCheck(count.key);
    }
    if (matched) {
        // The client's own misses were typing errors; its network's and everybody's run out.
        const CountedAs& own = counts.own.front();
        own.table->forget(own.key);
        return {Outcome::Accepted, openSession(now), 0};
    }
    qint64 wait = 0;
    for (const CountedAs& count : all) {
        wait = std::max(wait, count.table->recordMiss(count.key, now));
    }
    if (wait > 0) {
        return {Outcome::TooManyTries, {}, wholeSeconds(wait)};
    }
    return {Outcome::WrongPassword, {}, 0};
}

bool LoginGuard::hasSession(const QByteArray& token) const {
    const QMutexLocker lock(&mutex_);
    return isValidSession(token, clock_());
}

void LoginGuard::endSession(const QByteArray& token) {
    const QMutexLocker lock(&mutex_);
    sessions_.remove(token);
}

bool LoginGuard::isValidSession(const QByteArray& token, qint64 now) const {
    const auto session = sessions_.constFind(token);
    return !token.isEmpty() && session != sessions_.constEnd() && session.value() > now;
}

// A session and this machine's own address are counted apart from everybody else.
LoginGuard::Counts LoginGuard::countsOf(const QHostAddress& client, const QByteArray& session) {
    if (!session.isEmpty()) {
        return {{{&sessionMisses_, session}}, false};
    }
    const QHostAddress address = plainAddress(client);
    const QByteArray addressKey = address.toString().toLatin1();
    if (address == QHostAddress(QHostAddress::LocalHost) ||
        address == QHostAddress(QHostAddress::LocalHostIPv6)) {
        return {{{&addresses_, addressKey}}, false};
    }
    return {{{&addresses_, addressKey}, {&networks_, networkOf(address).toString().toLatin1()}}, true};
}

std::vector<LoginGuard::CountedAs> LoginGuard::allOf(const Counts& counts) {
    std::vector<CountedAs> all = counts.own;
    if (counts.byEverybody) {
        all.push_back({&everybody_, {}});
    }
    return all;
}

// Everybody's count holds back only those who missed themselves.
qint64 LoginGuard::waitMs(const Counts& counts, qint64 now) {
    qint64 wait = 0;
    bool clean = true;
    for (const CountedAs& count : counts.own) {
        wait = std::max(wait, count.table->waitMs(count.key, now));
        clean = clean && count.table->isClean(count.key, now);
    }
    if (counts.byEverybody && !clean) {
        wait = std::max(wait, everybody_.waitMs({}, now));
    }
    if (counts.byEverybody && everybody_.runningChecks({}, now) >= kMostStrangerChecks) {
        wait = std::max(wait, MissCounter::kRunningCheckWaitMs);
    }
    return wait;
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
