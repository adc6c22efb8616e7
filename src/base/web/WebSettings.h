#pragma once

#include "base/files/SafeSaveFile.h"
#include "base/settings/NamedSetting.h"

#include <QHostAddress>
#include <QString>
#include <optional>
#include <vector>

namespace kestrova {

// Where the web page listens: ADDRESS:PORT, an IPv6 address in brackets.
struct WebAddress {
    QHostAddress host;
    quint16 port = 0;
    bool isLoopback() const { return host.isLoopback(); }
};
std::optional<WebAddress> parseWebAddress(const QString& text);

// The web page's own settings file beside Kestrova.ini, one "key=value" a line,
// read only when the page is asked for: "passwort" holds the password's hash, and
// "zertifikat" with "schluessel" (PEM files) make it speak HTTPS, and "adresse"
// starts the page where --web does not name another address.
struct WebSettings {
    QString address;
    QString passwordHash;
    QString certificateFile;
    QString keyFile;
    // German, why a file of that name was not read (no plain file, say); empty when
    // it was read or there is none. The settings are then the defaults.
    QString readError;
};

QString webSettingsPath(const QString& programFolder);
// Reads a plain file only, and never waits on a FIFO.
WebSettings readWebSettings(const QString& path);
// The lines of the file as the command line sets them ("web.adresse"); the reading
// takes the same keys. The password's hash is set by --set-web-password alone.
std::vector<NamedSetting> webSettingLines();
// Keeps the file's other lines; false when it cannot be written, or when a file of
// that name cannot be read (its other lines would be lost). The file is readable by
// its owner alone from its creation on.
bool storePasswordHash(const QString& path, const QString& hash,
                       const FileWriteCalls& calls = systemFileWriteCalls());

// The German message why a server at this address must not start; empty when it may.
QString webStartRefusal(const WebAddress& address, const WebSettings& settings);

} // namespace kestrova
