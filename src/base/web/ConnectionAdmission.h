#pragma once

#include <QHostAddress>
#include <QList>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace kestrova {

// Who may hold the web page's connections. Counted per address and per network
// (IPv4 /24, IPv6 /64: one household or one attacker's prefix), so a handful of
// addresses cannot take all of them. The last quarter of the connections is kept
// for the machine's own addresses, so its user always gets in. A newcomer that
// finds its share full ends a connection that is not being answered: one that has
// never sent a whole request (nothing, or its headers or body half sent) before one
// idle between requests, the longest waiting first. A session's browser sends its
// request at once and keeps its place; a crowd that sends nothing keeps none. Whoever finds no room is
// refused at once, so nobody waits in the listening socket's queue behind a crowd.
class ConnectionAdmission {
public:
    using Connection = void*; // as the server names it
    struct Limits {
        unsigned connections = 256;
        unsigned perAddress = 32;
        unsigned perNetwork = 64;
    };
    struct Verdict {
        bool admitted = false;
        Connection toEnd = nullptr; // to make room for the newcomer
    };

    ConnectionAdmission(Limits limits, QList<QHostAddress> reservedFor);

    // Asked before a connection is taken; what is admitted is counted from opened().
    Verdict knock(const QHostAddress& client);
    void opened(Connection connection, const QHostAddress& client);
    void requestIsWhole(Connection connection);  // headers and body: the answer is being made
    void requestAnswered(Connection connection); // waits for the next one
    void closed(Connection connection);

    unsigned reserve() const { return limits_.connections / 4; }

private:
    using Bytes = std::array<quint8, 16>;
    struct Holder {
        Bytes address{};
        Bytes network{};
        bool reserved = false;
        bool busy = false;              // a whole request is being answered
        bool served = false;            // has sent a whole request: a client, not a mere socket
        std::uint64_t waitingSince = 0; // order in which it began to wait for a request

        // The first to end: never served before served, then the longest waiting.
        std::pair<bool, std::uint64_t> endingRank() const { return {served, waitingSince}; }
    };
    struct Census {
        unsigned total = 0;
        unsigned ordinary = 0;
        unsigned sameAddress = 0;
        unsigned sameNetwork = 0;
        Connection firstOrdinaryToEnd = nullptr;
        Connection firstToEnd = nullptr;
    };

    Holder holderFor(const QHostAddress& client) const;
    Census census(const Holder& newcomer) const;
    std::uint64_t nextTurn() { return ++turn_; }

    Limits limits_;
    QList<QHostAddress> reservedFor_;
    std::unordered_map<Connection, Holder> holders_;
    std::uint64_t turn_ = 0;
};

} // namespace kestrova
