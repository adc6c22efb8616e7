#include "web/WebService.h"

#include "platform/SteadyClock.h"
#include "web/WebServer.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>

namespace kestrova {

namespace {

QByteArray readPem(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

WebService::WebService(const LiveStatusBoard& board, HashLookup hash)
    : board_(board), hash_(std::move(hash)) {
    thread_.setObjectName(QStringLiteral("Webseite"));
}

WebService::~WebService() {
    if (server_ != nullptr) {
        QObject::connect(&thread_, &QThread::finished, server_, &QObject::deleteLater);
    }
    thread_.quit();
    thread_.wait();
}

QString WebService::start(const WebAddress& address, const WebSettings& settings) {
    const QString refusal = webStartRefusal(address, settings);
    if (!refusal.isEmpty()) {
        return refusal;
    }
    auto server = std::make_unique<WebServer>(board_, settings.passwordHash, hash_, steadyMilliseconds);
    if (!settings.certificateFile.isEmpty() || !settings.keyFile.isEmpty()) {
        const QSslCertificate certificate(readPem(settings.certificateFile));
        const QSslKey key(readPem(settings.keyFile), QSsl::Rsa);
        const QSslKey ecKey(readPem(settings.keyFile), QSsl::Ec);
        if (certificate.isNull() || (key.isNull() && ecKey.isNull())) {
            return QStringLiteral("Das Zertifikat oder der Schlüssel der Webseite lässt sich nicht lesen.");
        }
        server->sslSetup(certificate, key.isNull() ? ecKey : key);
        server->setSecure(true);
    }
    // Listening starts here; the listening socket then moves along with the server.
    port_ = server->listen(address.host, address.port);
    if (port_ == 0) {
        return QStringLiteral(
                   "Die Webseite kann nicht auf %1:%2 lauschen (Adresse belegt oder nicht vorhanden).")
            .arg(address.host.toString())
            .arg(address.port);
    }
    server->moveToThread(&thread_);
    server_ = server.release();
    thread_.start();
    return {};
}

} // namespace kestrova
