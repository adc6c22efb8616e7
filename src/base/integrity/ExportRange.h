#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace kestrova {

// The recordings an export holds: one circuit's, named for a moment from `from` to
// `to` (both included, clock readings without a zone, as in the names), and the
// circuit's manifests up to the day `manifestsUntil`, which carry their lines in the
// chain. Written into the export as its description, so a later check knows which
// recordings belong to it and does not miss the rest of the archive.
struct ExportRange {
    QString circuit;
    QDateTime from;
    QDateTime to;
    QDate manifestsUntil;

    // True for a recording name of the circuit whose moment lies in the range.
    bool holdsRecording(const QString& name) const;
    // True for a manifest of the circuit up to manifestsUntil.
    bool holdsManifest(const QString& fileName) const;
    // "Funkkreis 1, 09.12.2026 14:00:00 bis 09.12.2026 14:59:59"
    QString described() const;
    // The description file's text: the fields, then what the export is for.
    QByteArray descriptionText() const;
};

// The name of the description file at the top of an export.
QString exportDescriptionName();

// The range an export's description file below docFolder names; nullopt when the
// folder holds no export (no such file, or not one this program wrote).
std::optional<ExportRange> readExportDescription(const QString& docFolder);

// What an operator types for a moment, local time as in the recordings' names:
// "2026-12-09", "2026-12-09 14:00" or "2026-12-09 14:00:30" (also with "T" between).
// As the start of a range it is the first second of that day, minute or second; as
// its end (`asEnd`), the last, so "2026-12-09" to "2026-12-09" is the whole day.
std::optional<QDateTime> parseExportMoment(const QString& text, bool asEnd);

} // namespace kestrova
