#include "base/settings/NamedSettingsFile.h"

#include "base/files/RegularFile.h"

#include <QDir>

namespace kestrova {

namespace {

QString keyOf(const QString& line) {
    return line.section(QLatin1Char('='), 0, 0).trimmed().toLower();
}

// A line without "=" counts as its key with an empty value, so that a reader can
// say that it does not know it.
bool isSetting(const QString& line) {
    const QString trimmed = line.trimmed();
    return !trimmed.isEmpty() && !trimmed.startsWith(QLatin1Char('#')) &&
           !trimmed.startsWith(QLatin1Char(';'));
}

QString valueOf(const QString& line) {
    return line.section(QLatin1Char('='), 1).trimmed();
}

} // namespace

QString NamedSettingsFile::value(const QString& key) const {
    QString found;
    for (const QString& line : lines) {
        if (isSetting(line) && keyOf(line) == key) {
            found = valueOf(line);
        }
    }
    return found;
}

bool NamedSettingsFile::contains(const QString& key) const {
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&key](const QString& line) { return isSetting(line) && keyOf(line) == key; });
}

QList<std::pair<QString, QString>> NamedSettingsFile::entries() const {
    QList<std::pair<QString, QString>> found;
    for (const QString& line : lines) {
        if (isSetting(line)) {
            found.append({keyOf(line), valueOf(line)});
        }
    }
    return found;
}

void NamedSettingsFile::set(const QString& key, const QString& value) {
    lines.removeIf([&key](const QString& line) { return isSetting(line) && keyOf(line) == key; });
    if (!value.isEmpty()) {
        lines << key + QLatin1Char('=') + value;
    }
}

QByteArray NamedSettingsFile::bytes() const {
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

NamedSettingsFile readNamedSettings(const QString& path) {
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        if (opened.trouble == RegularFileTrouble::Missing) {
            return {};
        }
        return {{},
                QStringLiteral("Die Datei [%1] wird nicht gelesen: %2")
                    .arg(QDir::toNativeSeparators(path), opened.error)};
    }
    QStringList lines =
        QString::fromUtf8(opened.file->read(kNamedSettingsReadLimit)).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return {lines, {}};
}

bool storeNamedSetting(const QString& path, const QString& key, const QString& value,
                       const FileWriteCalls& calls) {
    NamedSettingsFile file = readNamedSettings(path);
    if (!file.readError.isEmpty()) {
        return false;
    }
    file.set(key, value);
    const QByteArray bytes = file.bytes();
    if (bytes.size() > kNamedSettingsReadLimit) {
        return false;
    }
    SafeSaveFile saved(path, calls, SavedFileAccess::OwnerOnly);
    if (!saved.open(QIODevice::WriteOnly)) {
        return false;
    }
    return saved.write(bytes) == bytes.size() && saved.commit();
}

} // namespace kestrova
