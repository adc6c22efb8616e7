#include "base/archive/RecordingRules.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {

// The number that `count` digits at `at` write; nullopt unless all are digits.
std::optional<int> digitsAt(const QString& text, qsizetype at, qsizetype count) {
    if (text.size() < at + count) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : QStringView(text).mid(at, count)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

std::optional<QDate> dayOfName(const QString& name) {
    const std::optional<int> month = digitsAt(name, 2, 2);
    const std::optional<int> day = digitsAt(name, 5, 2);
    const std::optional<int> year = digitsAt(name, 8, 4);
    const QDate newYear = year ? QDate(*year, 1, 1) : QDate();
    if (!month || !day || !newYear.isValid()) {
        return std::nullopt;
    }
    // An impossible date (30 February, month 13) counts on from the month's start,
    // as the old count of 30-day months took it: it still becomes due one day.
    return newYear.addMonths(*month - 1).addDays(*day - 1);
}

std::optional<long long> recordingAge(const QString& name, const QDate& today) {
    const std::optional<QDate> day = dayOfName(name);
    if (!day) {
        return std::nullopt;
    }
    return day->daysTo(today);
}

bool isLongEnough(double seconds, double minRecordLimit) {
    return seconds * 10 > minRecordLimit;
}

bool isKeptWhenSaved(double seconds, double minRecordLimit, RecordingPiece piece) {
    return isLongEnough(seconds, minRecordLimit) || (piece == RecordingPiece::Continuation && seconds > 0);
}

QString listEntryText(const QString& name, double seconds) {
    return name + QStringLiteral("  ") + QString::number(seconds * 10, 'f', 1);
}

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(u'\0'));
}

bool isDirectlyInside(const QString& path, const QString& folder) {
    const QFileInfo entry(QDir::cleanPath(path));
    const QString fileName = entry.fileName();
    if (fileName.isEmpty() || fileName == QStringLiteral(".") || fileName == QStringLiteral("..")) {
        return false;
    }
    return QDir::cleanPath(entry.absolutePath()) == QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

} // namespace kestrova
