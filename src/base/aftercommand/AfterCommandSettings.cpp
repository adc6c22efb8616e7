#include "base/aftercommand/AfterCommandSettings.h"

#include "base/settings/NamedSettingsFile.h"

#include <QDir>
#include <optional>

namespace kestrova {

namespace {

// The command's own line; the others are named after it ("nach_aufnahme.zeitlimit").
const QString kCommandKey = QStringLiteral("nach_aufnahme");

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

// A line of KestrovaNachAufnahme.ini: its key, what --einstellungen says of it and
// how the reading takes a value that is not empty (an empty one leaves the default,
// the command's line aside).
struct AfterCommandLine {
    QString key;
    QString meaning;
    void (*take)(AfterCommandSettings& settings, const QString& key, const QString& value);
};

using A = AfterCommandSettings;
using S = const QString;

// The one list of the file's lines, which the reading and the command line both walk.
const std::vector<AfterCommandLine>& afterCommandLines() {
    static const std::vector<AfterCommandLine> lines{
        {kCommandKey,
         QStringLiteral("Befehl nach jeder abgelegten Aufnahme (sh -c; die Angaben in "
                        "KESTROVA_DATEI, KESTROVA_SHA256 …); leer: keiner"),
         [](A& a, S&, S& v) { a.command = v; }},
        {QStringLiteral("zeitlimit"), QStringLiteral("so viele Sekunden darf der Befehl laufen (600)"),
         [](A& a, S& k, S& v) {
             if (const std::optional<int> seconds = numberIn(v, 1, kLongestTimeLimit)) {
                 a.timeLimit = std::chrono::seconds(*seconds);
             } else {
                 a.problems << refused(k, v, kLongestTimeLimit);
             }
         }},
        {QStringLiteral("gleichzeitig"),
         QStringLiteral("so viele Befehle laufen höchstens zugleich: 1 oder 2 (2)"),
         [](A& a, S& k, S& v) {
             if (const std::optional<int> count = numberIn(v, 1, kMostAtOnce)) {
                 a.atOnce = *count;
             } else {
                 a.problems << refused(k, v, kMostAtOnce);
             }
         }},
    };
    return lines;
}

void take(AfterCommandSettings& settings, const AfterCommandLine& line, const QString& value) {
    if (line.key == kCommandKey || !value.isEmpty()) {
        line.take(settings, line.key, value);
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
    for (const AfterCommandLine& line : afterCommandLines()) {
        take(settings, line, file.value(line.key));
    }
    return settings;
}

std::vector<NamedSetting> afterCommandSettingLines() {
    std::vector<NamedSetting> settings;
    for (const AfterCommandLine& line : afterCommandLines()) {
        const QString key = line.key;
        settings.push_back(
            {.name = key == kCommandKey ? key : kCommandKey + QLatin1Char('.') + key,
             .path = afterCommandSettingsPath,
             .key = key,
             .meaning = line.meaning,
             .check = [key](const QString& value) { return afterCommandValueProblem(key, value); }});
    }
    return settings;
}

QString afterCommandValueProblem(const QString& key, const QString& value) {
    AfterCommandSettings settings;
    for (const AfterCommandLine& line : afterCommandLines()) {
        if (line.key == key) {
            take(settings, line, value.trimmed());
        }
    }
    return settings.problems.join(QLatin1Char(' '));
}

} // namespace kestrova
