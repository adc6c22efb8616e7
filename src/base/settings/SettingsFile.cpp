#include "base/settings/SettingsFile.h"

#include "base/common/Cp1252.h"
#include "base/common/TextLines.h"
#include "base/files/RegularFile.h"
#include "base/files/SafeSaveFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace kestrova {

namespace {
QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString dateText(const QDateTime& now) {
    return now.toString(QStringLiteral("dd.MM.yyyy"));
}
QString timeText(const QDateTime& now) {
    return now.toString(QStringLiteral("HH:mm:ss"));
}
} // namespace

QString settingsFileName() {
    return QStringLiteral("Kestrova.ini");
}

QString settingsFilePath(const QString& programFolder) {
    return programFolder + QLatin1Char('/') + settingsFileName();
}

QString settingsGuessMarkerPath(const QString& programFolder) {
    return settingsFilePath(programFolder) + QStringLiteral(".grundeinstellung");
}

QString creationNote(const QString& programFolder, const QDateTime& now) {
    return nativePath(programFolder + QStringLiteral("/ini/Kestrova.ini")) + QStringLiteral(" erstellt ") +
           dateText(now) + QStringLiteral(", ") + timeText(now);
}

QString saveNote(const QString& programFolder, const QDateTime& now) {
    return nativePath(settingsFilePath(programFolder)) + QStringLiteral(" erstellt ") + dateText(now) +
           QStringLiteral(" - ") + timeText(now);
}

QStringList defaultSettingsLines(DefaultSet set, const QString& programFolder, const QDateTime& now) {
    QStringList lines{creationNote(programFolder, now)};
    for (const SettingsRow& row : settingsRows()) {
        const char* value = set == DefaultSet::NewFile ? row.newFileDefault : row.damagedFileDefault;
        lines.append(value == nullptr ? nativePath(programFolder) : QString::fromUtf8(value));
    }
    return lines;
}

SettingsFileRead readSettingsFile(const QString& path) {
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        return {std::nullopt, opened.trouble == RegularFileTrouble::NotAFile};
    }
    QFile& file = *opened.file;
    // Thirty short lines fit many times over; a huge file is not read in whole.
    QString text = decodeCp1252(file.read(kSettingsReadLimit));
    if (file.error() != QFileDevice::NoError) {
        return {std::nullopt, false};
    }
    if (!file.atEnd()) {
        // The limit may cut a line short: only lines ended within it count.
        text.truncate(std::max(text.lastIndexOf(u'\n'), text.lastIndexOf(u'\r')) + 1);
    }
    QStringList lines = firstLines(text, kSettingsLineCount);
    if (lines.size() < kSettingsLineCount) {
        return {std::nullopt, false};
    }
    return {std::move(lines), false};
}

std::optional<QStringList> readSettingsLines(const QString& path) {
    return readSettingsFile(path).lines;
}

QByteArray settingsFileBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += encodeCp1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool writeSettingsLines(const QString& path, const QStringList& lines, const FileWriteCalls& calls) {
    SafeSaveFile file(path, calls);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = settingsFileBytes(lines);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

PinLine unpackPinLine(const QString& line) {
    return {line.mid(0, 1), line.mid(1, 2), line.mid(3, 1)};
}

PackedPins packPinLine(const QString& pttText, const QString& squelchText) {
    PackedPins packed;
    if (squelchText.mid(1, 1) == QStringLiteral("-")) {
        packed.activeChar = QStringLiteral("0");
        packed.squelchText = squelchText;
    } else {
        packed.activeChar = QStringLiteral("1");
        packed.squelchText = squelchText.left(1) + QLatin1Char(' ');
    }
    packed.line = pttText.left(1) + packed.squelchText.left(2) + packed.activeChar;
    return packed;
}

} // namespace kestrova
