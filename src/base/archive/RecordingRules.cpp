#include "base/archive/RecordingRules.h"

#include "base/common/NumericValue.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

long long recordingAge(const QString& name, const QDate& today) {
    // Counting the year keeps recordings from before New Year ageing; within a
    // year the result is the plain 30-day-month difference.
    const auto dayNumber = [](double day, double month, double year) {
        return static_cast<long long>(day + 30 * month + 360 * year);
    };
    const long long recorded =
        dayNumber(numericValue(name.mid(5, 2)), numericValue(name.mid(2, 2)), numericValue(name.mid(8, 4)));
    return dayNumber(today.day(), today.month(), today.year()) - recorded;
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
