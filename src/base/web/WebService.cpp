#include "base/web/WebService.h"

#include "base/desktop/SteadyClock.h"
#include "base/files/RegularFile.h"
#include "base/web/Microhttpd.h"
#include "base/web/WebServer.h"

#include <QFile>
#include <QFileInfo>

namespace kestrova {

namespace {

// The owner names the certificate's path, and certificate tools keep the current
// one as a link to the newest file, so the link is followed; what it leads to is
// read by the one rule, so a FIFO there cannot hold up the start.
QByteArray readPem(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    const RegularFileOpen opened = openRegularFile(target);
    return opened.file ? opened.file->read(1024 * 1024) : QByteArray();
}

} // namespace

WebService::WebService(LiveStatusBoard& board, HashLookup hash, HttpLimits limits)
    : board_(board), hash_(std::move(hash)), limits_(limits), liveSound_(limits.liveListeners) {}

WebService::~WebService() = default;

quint16 WebService::port() const {
    return server_ ? server_->port() : 0;
}

QString WebService::start(const WebAddress& address, const WebSettings& settings) {
    const QString refusal = webStartRefusal(address, settings);
    if (!refusal.isEmpty()) {
        return refusal;
    }
    HttpDaemon::Tls tls;
    if (!settings.certificateFile.isEmpty() || !settings.keyFile.isEmpty()) {
        tls = {readPem(settings.certificateFile), readPem(settings.keyFile)};
        if (!tls.certificatePem.contains("CERTIFICATE") || !tls.keyPem.contains("PRIVATE KEY")) {
            return QStringLiteral("Das Zertifikat oder der Schlüssel der Webseite lässt sich nicht lesen.");
        }
    }
    if (!library_) {
        library_ = std::make_unique<Microhttpd>();
    }
    if (library_->functions() == nullptr) {
        return library_->failure();
    }
    auto server = std::make_unique<WebServer>(*library_, board_, liveSound_, settings.passwordHash, hash_,
                                              steadyMilliseconds, limits_);
    if (!server->start(address.host, address.port, tls)) {
        return tls.certificatePem.isEmpty()
                   ? QStringLiteral("Die Webseite kann nicht auf %1:%2 lauschen (Adresse belegt oder nicht "
                                    "vorhanden).")
                         .arg(address.host.toString())
                         .arg(address.port)
                   : QStringLiteral("Die Webseite kann mit diesem Zertifikat und Schlüssel nicht auf %1:%2 "
                                    "lauschen.")
                         .arg(address.host.toString())
                         .arg(address.port);
    }
    server_ = std::move(server);
    const QString host = address.host.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + address.host.toString() + QLatin1Char(']')
                             : address.host.toString();
    pageAddress_ = (tls.certificatePem.isEmpty() ? QStringLiteral("http://") : QStringLiteral("https://")) +
                   host + QLatin1Char(':') + QString::number(port()) + QLatin1Char('/');
    return {};
}

} // namespace kestrova
