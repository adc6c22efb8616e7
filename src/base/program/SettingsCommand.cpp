#include "base/program/SettingsCommand.h"

#include "base/files/FolderLock.h"
#include "base/files/FolderOwner.h"
#include "base/program/MissingProgramFolder.h"
#include "base/program/NamedSettings.h"
#include "base/settings/NamedSettingsFile.h"
#include "base/settings/SettingsAssignment.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTextStream>

namespace kestrova {

namespace {

// What stands in the way of old recordings being deleted, after these lines; empty for nothing.
QString guessIn(const QStringList& lines) {
    SettingsValues values;
    SettingsGuesses guesses;
    readSettingsValues(lines, values, guesses);
    return guessedValues(guesses);
}

struct FileLines {
    QStringList lines;
    QString trouble; // German; empty when the lines are there
};

FileLines readLines(const QString& programFolder, const QDateTime& now) {
    const QString path = settingsFilePath(programFolder);
    if (!QFile::exists(path)) {
        return {defaultSettingsLines(DefaultSet::NewFile, programFolder, now), {}};
    }
    const SettingsFileRead read = readSettingsFile(path);
    if (read.notAFile) {
        return {{},
                QStringLiteral("Die Datei [%1] ist keine gewöhnliche Datei.")
                    .arg(QDir::toNativeSeparators(path))};
    }
    if (!read.lines) {
        return {{},
                QStringLiteral("Die Datei [%1] ist fehlerhaft (nicht lesbar oder kürzer als %2 Zeilen); "
                               "das Programm ersetzt sie beim nächsten Start durch die Grundeinstellung.")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(kSettingsLineCount)};
    }
    return {*read.lines, {}};
}

// The files of named lines, each line with its value (a secret one only as set)
// and its meaning; what is not set has its default.
void listNamed(const QString& programFolder, QTextStream& out) {
    out << "\nWeitere Einstellungen (--setze NAME=WERT, leer für die Grundeinstellung):\n";
    for (const NamedSetting& setting : namedSettings()) {
        const QString value = readNamedSettings(setting.path(programFolder)).value(setting.key);
        out << "  " << setting.name << " = "
            << (setting.secret && !value.isEmpty() ? QStringLiteral("(gesetzt)") : value) << "\n      "
            << setting.meaning << '\n';
    }
}

int list(const QString& programFolder, const FileLines& file, QTextStream& out) {
    const QString path = settingsFilePath(programFolder);
    out << (QFile::exists(path)
                ? QStringLiteral("Einstellungen in [%1]:\n")
                : QStringLiteral("[%1] fehlt noch; das Programm legt sie mit diesen Werten an:\n"))
               .arg(QDir::toNativeSeparators(path));
    out << settingsListing(file.lines);
    listNamed(programFolder, out);
    // --bestaetigen cannot end what a value that is no number holds.
    const QString guess = guessIn(file.lines);
    if (!guess.isEmpty()) {
        out << "\nAlte Aufnahmen werden nicht gelöscht: " << guess
            << " Bitte mit --setze NAME=WERT richtigstellen.\n";
    } else if (QFile::exists(settingsGuessMarkerPath(programFolder))) {
        out << "\nEs gilt die Grundeinstellung nach einer fehlerhaften Datei: alte Aufnahmen werden nicht "
               "gelöscht, bis die Einstellungen bestätigt sind (kestrova --einstellungen --bestaetigen) oder "
               "mit --setze geändert.\n";
    }
    return 0;
}

// The settings in force are now the user's own, as after "Speichern": deletions go on.
bool endHold(const QString& programFolder, const QStringList& lines, QTextStream& out, QTextStream& err) {
    const QString guess = guessIn(lines);
    if (!guess.isEmpty()) {
        err << guess << " Alte Aufnahmen werden weiter nicht gelöscht; bitte mit --setze richtigstellen.\n";
        return false;
    }
    const QString marker = settingsGuessMarkerPath(programFolder);
    if (!QFile::exists(marker)) {
        return true;
    }
    if (!QFile::remove(marker)) {
        err << "Die Datei [" << QDir::toNativeSeparators(marker) << "] lässt sich nicht entfernen.\n";
        return false;
    }
    out << "Die Einstellungen gelten als bestätigt; alte Aufnahmen werden wieder gelöscht.\n";
    return true;
}

struct NamedAssignment {
    const NamedSetting* setting;
    QString value;
};

// The assignments to the files of named lines ("web.adresse=…") go there; the
// others are lines of Kestrova.ini.
struct SplitAssignments {
    QStringList lines;
    QList<NamedAssignment> named;
    QString refusal; // German; empty when every named value may be taken
};

SplitAssignments split(const QStringList& assignments) {
    SplitAssignments result;
    for (const QString& assignment : assignments) {
        const NamedSetting* setting = namedSettingCalled(assignment.section(QLatin1Char('='), 0, 0));
        if (!setting) {
            result.lines << assignment;
            continue;
        }
        const QString value = assignment.section(QLatin1Char('='), 1).trimmed();
        const QString refusal = setting->refusal(value);
        if (!refusal.isEmpty() && result.refusal.isEmpty()) {
            result.refusal = refusal;
        }
        result.named.append({setting, value});
    }
    return result;
}

QString tooLargeFor(const QString& path, qint64 readLimit) {
    return QStringLiteral("Mit diesen Werten würde die Datei [%1] größer als %2 KiB; mehr liest das Programm "
                          "nicht.")
        .arg(QDir::toNativeSeparators(path))
        .arg(readLimit / 1024);
}

// Each reader stops at its read limit: a file written past it would come back cut
// short, Kestrova.ini as damaged. The files are weighed as they would be written.
QString tooLargeFile(const QString& programFolder, const SplitAssignments& assignments,
                     const QStringList& settingsLines) {
    if (!assignments.lines.isEmpty() && settingsFileBytes(settingsLines).size() > kSettingsReadLimit) {
        return tooLargeFor(settingsFilePath(programFolder), kSettingsReadLimit);
    }
    QMap<QString, NamedSettingsFile> files;
    for (const NamedAssignment& assignment : assignments.named) {
        const QString path = assignment.setting->path(programFolder);
        if (!files.contains(path)) {
            files.insert(path, readNamedSettings(path));
        }
        files[path].set(assignment.setting->key, assignment.value);
    }
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        if (file.value().bytes().size() > kNamedSettingsReadLimit) {
            return tooLargeFor(file.key(), kNamedSettingsReadLimit);
        }
    }
    return {};
}

bool storeNamed(const QString& programFolder, const QList<NamedAssignment>& named, QTextStream& out,
                QTextStream& err) {
    for (const NamedAssignment& assignment : named) {
        const QString path = assignment.setting->path(programFolder);
        if (!storeNamedSetting(path, assignment.setting->key, assignment.value)) {
            err << "Die Datei [" << QDir::toNativeSeparators(path) << "] kann nicht geschrieben werden.\n";
            return false;
        }
        const QString ownerError = handToFolderOwner(path, programFolder);
        if (!ownerError.isEmpty()) {
            err << ownerError << '\n';
            return false;
        }
        out << "Gespeichert in [" << QDir::toNativeSeparators(path) << "]: " << assignment.setting->name
            << " = "
            << (assignment.setting->secret && !assignment.value.isEmpty() ? QStringLiteral("…")
                                                                          : assignment.value)
            << '\n';
    }
    return true;
}

int save(const QString& programFolder, const SettingsCommand& command, const QStringList& lines,
         const QDateTime& now, QTextStream& out, QTextStream& err) {
    const SplitAssignments assignments = split(command.assignments);
    AssignedSettings assigned = assignSettings(lines, assignments.lines);
    assigned.lines[0] = saveNote(programFolder, now);
    QString refusal = assigned.refusal.isEmpty() ? assignments.refusal : assigned.refusal;
    if (refusal.isEmpty()) {
        refusal = tooLargeFile(programFolder, assignments, assigned.lines);
    }
    if (!refusal.isEmpty()) {
        err << refusal << " Nichts geändert.\n";
        return 1;
    }
    if (!storeNamed(programFolder, assignments.named, out, err)) {
        return 1;
    }
    if (assignments.lines.isEmpty()) {
        out << "Ein laufendes Kestrova übernimmt die Werte beim nächsten Start.\n";
        return 0;
    }
    const QString path = settingsFilePath(programFolder);
    if (!writeSettingsLines(path, assigned.lines)) {
        err << "Die Datei [" << QDir::toNativeSeparators(path)
            << "] kann nicht geschrieben werden. Nichts geändert.\n";
        return 1;
    }
    // Set by the administrator for the system service: the service's user must read it.
    const QString ownerError = handToFolderOwner(path, programFolder);
    if (!ownerError.isEmpty()) {
        err << ownerError << '\n';
        return 1;
    }
    out << "Gespeichert in [" << QDir::toNativeSeparators(path) << "]:\n";
    for (const QString& assignment : assignments.lines) {
        const SettingsRow* row = settingsRowNamed(assignment.section(QLatin1Char('='), 0, 0));
        out << "  " << QString::fromUtf8(row->fieldName) << " = " << assigned.lines.at(row->line - 1) << '\n';
    }
    out << "Ein laufendes Kestrova übernimmt die Werte beim nächsten Start.\n";
    return endHold(programFolder, assigned.lines, out, err) ? 0 : 1;
}

} // namespace

int runSettingsCommand(const QString& programFolder, const SettingsCommand& command, const QDateTime& now,
                       QTextStream& out, QTextStream& err) {
    const bool changes = command.confirm || !command.assignments.isEmpty();
    const QString missing = changes ? missingProgramFolder(programFolder) : QString();
    if (!missing.isEmpty()) {
        err << missing << "\nNichts geändert.\n";
        return 1;
    }
    // A running program writes the file itself (at "Speichern", at the end): it must not
    // run on the folder while the file changes under it.
    FolderLock lock(programFolder);
    if (changes && lock.tryLock() == FolderLock::Result::HeldByOther) {
        err << "Kestrova läuft auf [" << QDir::toNativeSeparators(programFolder)
            << "]; bitte zuerst beenden (etwa: sudo systemctl stop kestrova), dann erneut. Nichts "
               "geändert.\n";
        return 1;
    }
    const FileLines file = readLines(programFolder, now);
    if (!file.trouble.isEmpty()) {
        err << file.trouble << (changes ? " Nichts geändert.\n" : "\n");
        return 1;
    }
    if (!command.assignments.isEmpty()) {
        return save(programFolder, command, file.lines, now, out, err);
    }
    if (command.confirm) {
        return endHold(programFolder, file.lines, out, err) ? 0 : 1;
    }
    return list(programFolder, file, out);
}

} // namespace kestrova
