#include "base/aftercommand/AfterCommandSettings.h"

#include "base/files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <optional>

namespace kestrova {

namespace {

const QString kCommandKey = QStringLiteral("nach_aufnahme");
const QString kTimeLimitKey = QStringLiteral("zeitlimit");
const QString kAtOnceKey = QStringLiteral("gleichzeitig");

// A few short lines; a huge file is not read in whole.
constexpr qint64 kReadLimit = 64 * 1024;
// A day: a command that takes longer has hung.
constexpr int kLongestTimeLimit = 24 * 60 * 60;
constexpr int kMostAtOnce = 2;

// The number in value when it lies in [low, high].
std::optional<int> numberIn(const QString& value, int low, int high) {
    bool numeric = false;
    const int number = value.toInt(&numeric);
    if (!numeric || number < low || number > high) {
        return std::nullopt;
    }
    return number;
}

QString refused(const QString& key, const QString& value, int low, int high) {
    return QStringLiteral("%1=%2 wird nicht übernommen: erlaubt sind ganze Zahlen von %3 bis %4.")
        .arg(key, value)
        .arg(low)
        .arg(high);
}

void take(AfterCommandSettings& settings, const QString& key, const QString& value) {
    if (key == kCommandKey) {
        settings.command = value;
    } else if (key == kTimeLimitKey) {
        if (const std::optional<int> seconds = numberIn(value, 1, kLongestTimeLimit)) {
            settings.timeLimit = std::chrono::seconds(*seconds);
        } else {
            settings.problems << refused(key, value, 1, kLongestTimeLimit);
        }
    } else if (key == kAtOnceKey) {
        if (const std::optional<int> count = numberIn(value, 1, kMostAtOnce)) {
            settings.atOnce = *count;
        } else {
            settings.problems << refused(key, value, 1, kMostAtOnce);
        }
    }
}

} // namespace

QString afterCommandSettingsPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaNachAufnahme.ini"));
}

AfterCommandSettings readAfterCommandSettings(const QString& path) {
    AfterCommandSettings settings;
    const RegularFileOpen opened = openRegularFile(path);
    if (!opened.file) {
        if (opened.trouble != RegularFileTrouble::Missing) {
            settings.problems << QStringLiteral("Die Datei [%1] wird nicht gelesen: %2")
                                     .arg(QDir::toNativeSeparators(path), opened.error);
        }
        return settings;
    }
    const QStringList lines = QString::fromUtf8(opened.file->read(kReadLimit)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        take(settings, key, line.section(QLatin1Char('='), 1).trimmed());
    }
    return settings;
}

} // namespace kestrova
