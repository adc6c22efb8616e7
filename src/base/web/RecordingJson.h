#pragma once

#include "base/common/LiveStatus.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace kestrova {

// The SHA-256 of a recording (hex) by its full path; empty when unknown.
using HashLookup = std::function<QString(const QString& path)>;

// Names, moments, lengths and the dated tree are read as the archive reads them
// (archive/RecordingName, RecordingLength, DatedTree), so the page shows what the
// list shows.

// One recording for the page: name, "datum" and "zeit" from the name, "sekunden",
// "pfad" (relative to the documentation folder, for the download) and "hash".
QJsonObject recordingJson(const QString& name, double seconds, const QString& relativeFolder,
                          const QString& fullPath, const HashLookup& hash);

// The recordings of the list, newest first.
QJsonArray listedRecordingsJson(const LiveStatus& status, const QString& recordingsFolder,
                                const HashLookup& hash);
// The days of the dated archive, newest first: "kreis", "datum", "pfad".
QJsonArray archiveDaysJson(const QString& docFolder);
// The recordings of one archive day (the folder "Fk_F/Ja_YYYY/Mo-MM/Tg-DD"), newest first.
QJsonArray archiveDayJson(const QString& dayFolder, const QString& relativeDayFolder, const HashLookup& hash);

} // namespace kestrova
