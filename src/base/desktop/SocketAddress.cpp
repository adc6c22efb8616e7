#include "base/desktop/SocketAddress.h"

#include <cstring>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace kestrova {

SocketAddress::SocketAddress(const QHostAddress& host, quint16 port) {
    static_assert(sizeof(sockaddr_in6) <= sizeof(storage_));
    if (host.protocol() == QAbstractSocket::IPv4Protocol) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(host.toIPv4Address());
        std::memcpy(storage_.data(), &address, sizeof address);
        length_ = sizeof address;
    } else if (host.protocol() == QAbstractSocket::IPv6Protocol) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        const Q_IPV6ADDR bytes = host.toIPv6Address();
        std::memcpy(&address.sin6_addr, bytes.c, sizeof bytes.c);
        address.sin6_scope_id = host.scopeId().toUInt();
        std::memcpy(storage_.data(), &address, sizeof address);
        length_ = sizeof address;
    }
}

} // namespace kestrova
