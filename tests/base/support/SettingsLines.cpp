#include "support/SettingsLines.h"

#include "base/common/Cp1252.h"
#include "base/settings/SettingsFile.h"

#include <QFile>

namespace kestrova::test {

QStringList newSettingsLines(const QString& programFolder, const QDateTime& now,
                             const QList<QPair<int, QString>>& changes) {
    QStringList lines = defaultSettingsLines(DefaultSet::NewFile, programFolder, now);
    for (const auto& [number, text] : changes) {
        lines[number - 1] = text;
    }
    return lines;
}

bool writeSettingsLines(const QString& path, const QStringList& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const QString& line : lines) {
        file.write(encodeCp1252(line) + "\r\n");
    }
    return true;
}

QStringList readSettingsLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = decodeCp1252(file.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace kestrova::test
