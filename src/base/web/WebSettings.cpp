#include "base/web/WebSettings.h"

#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace kestrova {

namespace {

const QString kAddressKey = QStringLiteral("adresse");
const QString kPasswordKey = QStringLiteral("passwort");
const QString kCertificateKey = QStringLiteral("zertifikat");
const QString kKeyFileKey = QStringLiteral("schluessel");

// A few short lines; a huge file is not read in whole.
constexpr qint64 kReadLimit = 64 * 1024;

struct FileLines {
    QStringList lines;
    QString error; // German; empty when read or absent
};

FileLines readLines(const QString& path) {
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        if (opened.trouble == RegularFileTrouble::Missing) {
            return {};
        }
        return {{},
                QStringLiteral("Die Datei [%1] wird nicht gelesen: %2")
                    .arg(QDir::toNativeSeparators(path), opened.error)};
    }
    return {QString::fromUtf8(opened.file->read(kReadLimit)).split(QLatin1Char('\n')), {}};
}

QString keyOf(const QString& line) {
    return line.section(QLatin1Char('='), 0, 0).trimmed().toLower();
}

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
    WebSettings settings;
    const FileLines read = readLines(path);
    settings.readError = read.error;
    for (const QString& line : read.lines) {
        const QString key = keyOf(line);
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        if (key == kAddressKey) {
            settings.address = value;
        } else if (key == kPasswordKey) {
            settings.passwordHash = value;
        } else if (key == kCertificateKey) {
            settings.certificateFile = value;
        } else if (key == kKeyFileKey) {
            settings.keyFile = value;
        }
    }
    return settings;
}

bool storePasswordHash(const QString& path, const QString& hash, const FileWriteCalls& calls) {
    const FileLines read = readLines(path);
    if (!read.error.isEmpty()) {
        return false;
    }
    QStringList lines;
    for (const QString& line : read.lines) {
        if (keyOf(line) != kPasswordKey && !line.trimmed().isEmpty()) {
            lines << line;
        }
    }
    lines << kPasswordKey + QLatin1Char('=') + hash;
    // The hash is slow to attack, but no one else needs to read it, not even for a moment.
    SafeSaveFile file(path, calls, SavedFileAccess::OwnerOnly);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
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
