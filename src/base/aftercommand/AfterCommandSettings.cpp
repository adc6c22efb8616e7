#include "base/aftercommand/AfterCommandSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>
#include <optional>

namespace kestrova {

namespace {

const QString kCommandKey = QStringLiteral("nach_aufnahme");
const QString kTimeLimitKey = QStringLiteral("zeitlimit");
const QString kAtOnceKey = QStringLiteral("gleichzeitig");

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

QString refused(const QString& key, const QString& value, int high) {
    return QStringLiteral("%1=%2 wird nicht übernommen: erlaubt sind ganze Zahlen von 1 bis %3.")
        .arg(key, value)
        .arg(high);
}

// An empty value leaves the default.
void take(AfterCommandSettings& settings, const QString& key, const QString& value) {
    if (key == kCommandKey) {
        settings.command = value;
    } else if (value.isEmpty()) {
        return;
    } else if (key == kTimeLimitKey) {
        if (const std::optional<int> seconds = numberIn(value, 1, kLongestTimeLimit)) {
            settings.timeLimit = std::chrono::seconds(*seconds);
        } else {
            settings.problems << refused(key, value, kLongestTimeLimit);
        }
    } else if (key == kAtOnceKey) {
        if (const std::optional<int> count = numberIn(value, 1, kMostAtOnce)) {
            settings.atOnce = *count;
        } else {
            settings.problems << refused(key, value, kMostAtOnce);
        }
    }
}

} // namespace

QString afterCommandSettingsPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("KestrovaNachAufnahme.ini"));
}

AfterCommandSettings readAfterCommandSettings(const QString& path) {
    AfterCommandSettings settings;
    const NamedSettingsFile file = readNamedSettings(path);
    if (!file.readError.isEmpty()) {
        settings.problems << file.readError;
    }
    for (const QString& key : {kCommandKey, kTimeLimitKey, kAtOnceKey}) {
        take(settings, key, file.value(key));
    }
    return settings;
}

QString afterCommandValueProblem(const QString& key, const QString& value) {
    AfterCommandSettings settings;
    take(settings, key, value.trimmed());
    return settings.problems.join(QLatin1Char(' '));
}

} // namespace kestrova
