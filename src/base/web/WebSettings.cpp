#include "base/web/WebSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace kestrova {

namespace {

const QString kAddressKey = QStringLiteral("adresse");
const QString kPasswordKey = QStringLiteral("passwort");
const QString kCertificateKey = QStringLiteral("zertifikat");
const QString kKeyFileKey = QStringLiteral("schluessel");
} // namespace

std::optional<WebAddress> parseWebAddress(const QString& text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) {
        return std::nullopt;
    }
    QString host = text.left(colon).trimmed();
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    }
    bool numeric = false;
    const uint port = text.mid(colon + 1).trimmed().toUInt(&numeric);
    WebAddress address;
    address.host = host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0
                       ? QHostAddress(QHostAddress::LocalHost)
                       : QHostAddress(host);
    if (!numeric || port == 0 || port > 65535 || address.host.isNull()) {
        return std::nullopt;
    }
    address.port = static_cast<quint16>(port);
    return address;
}

QString webSettingsPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaWeb.ini"));
}

WebSettings readWebSettings(const QString& path) {
    const NamedSettingsFile file = readNamedSettings(path);
    return {.address = file.value(kAddressKey),
            .passwordHash = file.value(kPasswordKey),
            .certificateFile = file.value(kCertificateKey),
            .keyFile = file.value(kKeyFileKey),
            .readError = file.readError};
}

bool storePasswordHash(const QString& path, const QString& hash, const FileWriteCalls& calls) {
    // The hash is slow to attack, but no one else needs to read it, not even for a moment.
    return storeNamedSetting(path, kPasswordKey, hash, calls);
}

QString webStartRefusal(const WebAddress& address, const WebSettings& settings) {
    if (address.isLoopback() || !settings.passwordHash.isEmpty()) {
        return {};
    }
    return QStringLiteral("Die Webseite lauscht auf %1 nur mit Passwort. Bitte zuerst "
                          "\"kestrova --set-web-password\" ausführen oder die Adresse 127.0.0.1 wählen.")
        .arg(address.host.toString());
}

} // namespace kestrova
