#include "base/program/ExportCommand.h"

#include "base/integrity/RecordingExport.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsTable.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFile>

namespace kestrova {

namespace {

// The settings as the program would read them; a new user's when there is no file.
std::optional<SettingsValues> settingsOf(const QString& programFolder, const QDateTime& now,
                                         QTextStream& out) {
    const QString path = settingsFilePath(programFolder);
    QStringList lines;
    if (!QFile::exists(path)) {
        lines = defaultSettingsLines(DefaultSet::NewFile, programFolder, now);
    } else if (const SettingsFileRead read = readSettingsFile(path); read.lines) {
        lines = *read.lines;
    } else {
        out << QStringLiteral("Die Datei [%1] ist keine gewöhnliche Datei oder fehlerhaft: der "
                              "Dokumentationsordner ist nicht bekannt, es wurde nichts geschrieben.\n")
                   .arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    }
    SettingsValues values;
    SettingsGuesses guesses;
    readSettingsValues(lines, values, guesses);
    return values;
}

} // namespace

int runExportCommand(const QString& programFolder, const ExportRequest& request, const QDateTime& now,
                     QTextStream& out) {
    const std::optional<SettingsValues> values = settingsOf(programFolder, now, out);
    if (!values) {
        return static_cast<int>(ExportStatus::NotWritten);
    }
    const QString circuit =
        request.circuit.isEmpty() ? QString::number(values->circuitNumber) : request.circuit;
    const ExportRange range{circuit, request.from, request.to, {}};
    return static_cast<int>(exportRecordings(values->docFolder, range, request.target, now, out));
}

} // namespace kestrova
