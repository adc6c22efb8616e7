#include "archive/RecordingRules.h"

#include "common/NumericValue.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace kestrova {

namespace {

// The moment and the ending take the last 23 characters of a name.
constexpr qsizetype kMomentAndEnding = 23;

// Little-endian unsigned field; nullopt when the file ended before it.
std::optional<quint32> unsignedAt(QByteArrayView bytes, qsizetype offset, int width) {
    if (offset + width > bytes.size()) {
        return std::nullopt;
    }
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    }
    return value;
}

// The offset of the data length after a format chunk of 16 or 18 bytes; 0 for
// any other layout.
qsizetype dataLengthOffset(QByteArrayView bytes) {
    const std::optional<quint32> formatLength = unsignedAt(bytes, 16, 4);
    if (formatLength == 16u) {
        return 40;
    }
    return formatLength == 18u ? 42 : 0;
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

QString numberField(const QByteArray& bytes, qsizetype offset, int width) {
    const std::optional<quint32> value = unsignedAt(bytes, offset, width);
    return value ? QString::number(*value) : QString();
}

QString textField(const QByteArray& bytes, qsizetype offset) {
    return offset + 4 <= bytes.size() ? QString::fromLatin1(bytes.mid(offset, 4)) : QString();
}

} // namespace

QString datedArchiveFolder(const QString& docFolder, const QString& name) {
    // Joined like the recordings folder, so both trees sit below the same D.
    return QDir(docFolder).filePath(QStringLiteral("Fk_") + name.mid(0, 1) + QStringLiteral("/Ja_") +
                                    name.mid(8, 4) + QStringLiteral("/Mo-") + name.mid(2, 2) +
                                    QStringLiteral("/Tg-") + name.mid(5, 2) + QStringLiteral("/hh-") +
                                    name.mid(13, 2));
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
        const QDate date = moment->date();
        const QTime time = moment->time();
        return momentKey(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
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

void sortAsListed(QStringList& names) {
    // Names that are not a recording's have no moment and sort first.
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

double readRecordingLength(const QString& path, QStringList& headerFields) {
    headerFields = QStringList(kHeaderFieldCount);
    // Only regular files: a pipe or device in the folder would block the read.
    if (!QFileInfo(path).isFile()) {
        return 0;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray bytes = file.read(kRecordingHeaderBytes);
    file.close();

    headerFields[0] = textField(bytes, 0);
    headerFields[1] = numberField(bytes, 4, 4);
    headerFields[2] = textField(bytes, 8);
    headerFields[3] = textField(bytes, 12);
    headerFields[4] = numberField(bytes, 16, 4);
    headerFields[5] = numberField(bytes, 20, 2);
    headerFields[6] = numberField(bytes, 22, 2);
    headerFields[7] = numberField(bytes, 24, 4);
    headerFields[8] = numberField(bytes, 28, 4);
    headerFields[9] = numberField(bytes, 32, 2);
    headerFields[10] = numberField(bytes, 34, 2);

    const qsizetype dataOffset = dataLengthOffset(bytes);
    if (dataOffset == 0) {
        return 0;
    }
    headerFields[11] = textField(bytes, dataOffset - 4);
    headerFields[12] = numberField(bytes, dataOffset, 4);
    return recordingLengthOf(bytes.constData(), bytes.size());
}

double recordingLengthOf(const char* header, qsizetype size) {
    const QByteArrayView bytes(header, std::min<qsizetype>(size, kRecordingHeaderBytes));
    const qsizetype dataOffset = dataLengthOffset(bytes);
    if (dataOffset == 0) {
        return 0;
    }
    const std::optional<quint32> rate = unsignedAt(bytes, 24, 4);
    const std::optional<quint32> blockAlign = unsignedAt(bytes, 32, 2);
    const std::optional<quint32> dataLength = unsignedAt(bytes, dataOffset, 4);
    if (!rate || !blockAlign || !dataLength || *rate == 0 || *blockAlign == 0) {
        return 0;
    }
    return static_cast<double>(*dataLength) / *blockAlign / *rate;
}

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
