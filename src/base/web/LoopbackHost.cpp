#include "base/web/LoopbackHost.h"

#include <QHostAddress>
#include <QString>

namespace kestrova {

namespace {

bool isPort(const QByteArray& text) {
    bool numeric = false;
    const uint port = text.toUInt(&numeric);
    return numeric && port <= 65535;
}

// The name without its port; empty when the port is no port.
QByteArray nameOf(const QByteArray& host) {
    const qsizetype close = host.startsWith('[') ? host.indexOf(']') : -1;
    const qsizetype colon = host.indexOf(':', close < 0 ? 0 : close);
    if (colon < 0) {
        return host;
    }
    return isPort(host.mid(colon + 1)) ? host.left(colon) : QByteArray();
}

} // namespace

bool isLoopbackHost(const QByteArray& hostHeader) {
    const QByteArray name = nameOf(hostHeader.trimmed());
    if (name.compare("localhost", Qt::CaseInsensitive) == 0) {
        return true;
    }
    // IPv6 only in brackets, IPv4 only as four numbers, as a browser writes them.
    const bool bracketed = name.startsWith('[') && name.endsWith(']');
    const QByteArray address = bracketed ? name.mid(1, name.size() - 2) : name;
    const QHostAddress host(QString::fromLatin1(address));
    if (host.isNull() || !host.isLoopback()) {
        return false;
    }
    const bool ipv4 = host.protocol() == QAbstractSocket::IPv4Protocol;
    return bracketed ? !ipv4 : ipv4 && address.count('.') == 3;
}

} // namespace kestrova
