#include "base/web/WebSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace kestrova {

namespace {

// Set by --set-web-password as a hash, never by name.
const QString kPasswordKey = QStringLiteral("passwort");

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

namespace {

// A line of KestrovaWeb.ini that the command line sets by name: its key, what
// --einstellungen says of it, where the reading puts it and the check of a value.
struct WebLine {
    QString key;
    QString meaning;
    QString WebSettings::*field;
    QString (*check)(const QString& name, const QString& value);
};

QString noCheck(const QString& /*name*/, const QString& /*value*/) {
    return {};
}

QString checkAddress(const QString& name, const QString& value) {
    return parseWebAddress(value)
               ? QString()
               : QStringLiteral("„%1“ braucht ADRESSE:PORT, etwa 127.0.0.1:8080.").arg(name);
}

// The one list of the lines set by name, which the reading and the command line both walk.
const std::vector<WebLine>& webLines() {
    static const std::vector<WebLine> lines{
        {QStringLiteral("adresse"), QStringLiteral("Adresse und Port der Webseite, wo --web keine nennt"),
         &WebSettings::address, checkAddress},
        {QStringLiteral("zertifikat"), QStringLiteral("Zertifikat (PEM) für HTTPS"),
         &WebSettings::certificateFile, noCheck},
        {QStringLiteral("schluessel"), QStringLiteral("Schlüssel (PEM) zum Zertifikat"),
         &WebSettings::keyFile, noCheck},
    };
    return lines;
}

} // namespace

WebSettings readWebSettings(const QString& path) {
    const NamedSettingsFile file = readNamedSettings(path);
    WebSettings settings;
    settings.passwordHash = file.value(kPasswordKey);
    settings.readError = file.readError;
    for (const WebLine& line : webLines()) {
        settings.*line.field = file.value(line.key);
    }
    return settings;
}

std::vector<NamedSetting> webSettingLines() {
    std::vector<NamedSetting> settings;
    for (const WebLine& line : webLines()) {
        const QString name = QStringLiteral("web.") + line.key;
        const auto check = line.check;
        settings.push_back({.name = name,
                            .path = webSettingsPath,
                            .key = line.key,
                            .meaning = line.meaning,
                            .check = [name, check](const QString& value) { return check(name, value); }});
    }
    return settings;
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
