#include "base/web/ConnectionAdmission.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace kestrova {

namespace {

// An IPv4 address arrives on an IPv6 socket as ::ffff:a.b.c.d; it counts as itself.
QHostAddress plain(const QHostAddress& client) {
    bool isV4 = false;
    const quint32 v4 = client.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : client;
}

} // namespace

ConnectionAdmission::ConnectionAdmission(Limits limits, QList<QHostAddress> reservedFor)
    : limits_(limits), reservedFor_(std::move(reservedFor)) {
    for (QHostAddress& address : reservedFor_) {
        address = plain(address);
    }
}

// Both families as IPv6 (IPv4 as ::ffff:a.b.c.d), so addresses and networks of
// the two never meet; the network is the address with its host part cleared.
ConnectionAdmission::Holder ConnectionAdmission::holderFor(const QHostAddress& client) const {
    const QHostAddress address = plain(client);
    const bool isV4 = address.protocol() == QAbstractSocket::IPv4Protocol;
    const Q_IPV6ADDR v6 = address.toIPv6Address(); // an IPv4 address comes mapped
    Holder holder;
    holder.reserved = reservedFor_.contains(address);
    std::copy_n(std::begin(v6.c), holder.address.size(), holder.address.begin());
    holder.network = holder.address;
    std::fill(holder.network.begin() + (isV4 ? 15 : 8), holder.network.end(), 0);
    return holder;
}

ConnectionAdmission::Census ConnectionAdmission::census(const Holder& newcomer) const {
    Census census;
    const Holder* firstOrdinary = nullptr;
    const Holder* first = nullptr;
    for (const auto& [connection, holder] : holders_) {
        ++census.total;
        census.ordinary += holder.reserved ? 0 : 1;
        census.sameAddress += holder.address == newcomer.address ? 1 : 0;
        census.sameNetwork += holder.network == newcomer.network ? 1 : 0;
        if (holder.busy) {
            continue;
        }
        if (first == nullptr || holder.endingRank() < first->endingRank()) {
            first = &holder;
            census.firstToEnd = connection;
        }
        if (!holder.reserved &&
            (firstOrdinary == nullptr || holder.endingRank() < firstOrdinary->endingRank())) {
            firstOrdinary = &holder;
            census.firstOrdinaryToEnd = connection;
        }
    }
    return census;
}

ConnectionAdmission::Verdict ConnectionAdmission::knock(const QHostAddress& client) {
    const Holder newcomer = holderFor(client);
    const Census counted = census(newcomer);
    // The machine's own addresses stand in a network that anybody on it can fill.
    if (counted.sameAddress >= limits_.perAddress ||
        (!newcomer.reserved && counted.sameNetwork >= limits_.perNetwork)) {
        return {};
    }
    const bool full = counted.total >= limits_.connections;
    if (newcomer.reserved ? !full : !full && counted.ordinary < limits_.connections - reserve()) {
        return {.admitted = true};
    }
    // The reserve's owner may end an ordinary waiting connection first, and its own last.
    Connection victim = counted.firstOrdinaryToEnd;
    if (victim == nullptr && newcomer.reserved) {
        victim = counted.firstToEnd;
    }
    if (victim == nullptr) {
        return {};
    }
    holders_.erase(victim); // no longer counted, whenever the server gets to close it
    return {.admitted = true, .toEnd = victim};
}

void ConnectionAdmission::opened(Connection connection, const QHostAddress& client) {
    Holder holder = holderFor(client);
    holder.waitingSince = nextTurn();
    holders_[connection] = holder;
}

void ConnectionAdmission::requestIsWhole(Connection connection) {
    if (const auto found = holders_.find(connection); found != holders_.end()) {
        found->second.busy = true;
        found->second.served = true;
    }
}

void ConnectionAdmission::requestAnswered(Connection connection) {
    if (const auto found = holders_.find(connection); found != holders_.end()) {
        found->second.busy = false;
        found->second.waitingSince = nextTurn();
    }
}

void ConnectionAdmission::closed(Connection connection) {
    holders_.erase(connection);
}

} // namespace kestrova
