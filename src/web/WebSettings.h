#pragma once

#include <QHostAddress>
#include <QString>
#include <optional>

namespace kestrova {

// Where the web page listens: ADDRESS:PORT, an IPv6 address in brackets.
struct WebAddress {
    QHostAddress host;
    quint16 port = 0;
    bool isLoopback() const { return host.isLoopback(); }
};
std::optional<WebAddress> parseWebAddress(const QString& text);

// The web page's own settings file beside Kestrova.ini, one "key=value" a line:
// "adresse" switches the page on, "passwort" holds the password's hash, and
// "zertifikat" with "schluessel" (PEM files) make it speak HTTPS.
struct WebSettings {
    QString address;
    QString passwordHash;
    QString certificateFile;
    QString keyFile;
};

QString webSettingsPath(const QString& programFolder);
WebSettings readWebSettings(const QString& path);
// Keeps the file's other lines; false when it cannot be written.
bool storePasswordHash(const QString& path, const QString& hash);

// The German message why a server at this address must not start; empty when it may.
QString webStartRefusal(const WebAddress& address, const WebSettings& settings);

} // namespace kestrova
