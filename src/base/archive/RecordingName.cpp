#include "base/archive/RecordingName.h"

#include <QRegularExpression>
#include <algorithm>
#include <utility>
#include <vector>

namespace kestrova {

namespace {

// The moment and the ending take the last 23 characters of a name.
constexpr qsizetype kMomentAndEnding = 23;
// The circuit's digit, "_" and the moment and ending.
constexpr qsizetype kOneDigitCircuitNameLength = 2 + kMomentAndEnding;

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The number written by `count` digits from `at`; -1 when one is not a digit.
int digitsAt(QStringView text, qsizetype at, int count) {
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        if (!isDigit(text[i])) {
            return -1;
        }
        value = value * 10 + (text[i].unicode() - '0');
    }
    return value;
}

// Characters that a regular expression's "." and "$" treat apart; names holding
// one are left to the expression itself.
bool hasLineBreak(QStringView name) {
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029) {
            return true;
        }
    }
    return false;
}

qint64 momentKey(int year, int month, int day, int hour, int minute, int second) {
    return ((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
}

} // namespace

QString makeRecordingName(long long circuitNumber, const QDateTime& start) {
    const QDate date = start.date();
    const QTime time = start.time();
    return QString::number(circuitNumber) + QLatin1Char('_') + twoDigits(date.month()) + QLatin1Char('-') +
           twoDigits(date.day()) + QLatin1Char('-') +
           QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) + QLatin1Char('_') +
           twoDigits(time.hour()) + QLatin1Char('-') + twoDigits(time.minute()) + QLatin1Char('-') +
           twoDigits(time.second()) + QStringLiteral(".wav");
}

std::optional<QDateTime> recordingMoment(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^.+_([0-9]{2})-([0-9]{2})-([0-9]{4})_([0-9]{2})-([0-9]{2})-([0-9]{2})\\.wav$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const auto field = [&match](int index) { return match.capturedView(index).toInt(); };
    const QDate date(field(3), field(1), field(2));
    const QTime time(field(4), field(5), field(6));
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return QDateTime(date, time, Qt::UTC);
}

bool isOneDigitCircuitName(const QString& name) {
    return name.size() == kOneDigitCircuitNameLength && isDigit(name.front()) && recordingMoment(name);
}

QString recordingCircuit(const QString& name) {
    return name.section(QLatin1Char('_'), 0, 0);
}

std::optional<QString> nameOneSecondLater(const QString& name) {
    const std::optional<QDateTime> moment = recordingMoment(name);
    if (!moment) {
        return std::nullopt;
    }
    return name.left(name.size() - kMomentAndEnding) +
           moment->addSecs(1).toString(QStringLiteral("MM-dd-yyyy_HH-mm-ss")) + QStringLiteral(".wav");
}

std::optional<qint64> recordingMomentKey(QStringView name) {
    if (hasLineBreak(name)) {
        const std::optional<QDateTime> moment = recordingMoment(name.toString());
        if (!moment) {
            return std::nullopt;
        }
        return clockReadingKey(*moment);
    }
    // "_MM-DD-YYYY_hh-mm-ss.wav" after at least one character.
    const qsizetype at = name.size() - kMomentAndEnding - 1;
    if (at < 1 || name[at] != QLatin1Char('_') || !name.endsWith(QLatin1String(".wav"))) {
        return std::nullopt;
    }
    for (const qsizetype dash : {at + 3, at + 6, at + 14, at + 17}) {
        if (name[dash] != QLatin1Char('-')) {
            return std::nullopt;
        }
    }
    if (name[at + 11] != QLatin1Char('_')) {
        return std::nullopt;
    }
    const int month = digitsAt(name, at + 1, 2);
    const int day = digitsAt(name, at + 4, 2);
    const int year = digitsAt(name, at + 7, 4);
    const int hour = digitsAt(name, at + 12, 2);
    const int minute = digitsAt(name, at + 15, 2);
    const int second = digitsAt(name, at + 18, 2);
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second)) {
        return std::nullopt;
    }
    return momentKey(year, month, day, hour, minute, second);
}

qint64 clockReadingKey(const QDateTime& reading) {
    const QDate date = reading.date();
    const QTime time = reading.time();
    return momentKey(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
}

bool isListedBefore(const QString& a, const QString& b) {
    // No moment sorts before any moment.
    const std::optional<qint64> keyA = recordingMomentKey(a);
    const std::optional<qint64> keyB = recordingMomentKey(b);
    return keyA != keyB ? keyA < keyB : a < b;
}

void sortAsListed(QStringList& names) {
    // Keyed once each: a sort compares every name many times.
    std::vector<std::pair<std::optional<qint64>, QString>> keyed;
    keyed.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : std::as_const(names)) {
        keyed.emplace_back(recordingMomentKey(name), name);
    }
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& entry : keyed) {
        names.append(std::move(entry.second));
    }
}

} // namespace kestrova
