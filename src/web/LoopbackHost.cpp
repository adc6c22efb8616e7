#include "web/LoopbackHost.h"

#include <QHostAddress>
namespace kestrova {
bool isLoopbackHost(const QByteArray& host) {
    const QByteArray name =
        host.startsWith('[') ? host.mid(1, host.indexOf(']') - 1) : host.split(':').first();
    return name == "localhost" || QHostAddress(QString::fromLatin1(name)).isLoopback();
}
} // namespace kestrova
