#pragma once

#include "base/common/LiveStatus.h"
#include "base/web/RecordingJson.h"
#include "base/web/Replies.h"

#include <QJsonArray>
#include <QString>
#include <optional>

namespace kestrova {

// The page of a control room over several circuits (LiveStatus::circuits). Each path
// on it begins with the circuit's place on the page, from 1 ("2/W/name.wav",
// "2/Fk_2/Ja_2026/Mo-12/Tg-09"); the rest is served from that circuit's documentation
// folder by its ServedPaths, and each row says its circuit ("kreis", "kreisname").

// The circuits for the status: "kreis", "name", "nummer", "zustand", "problem".
QJsonArray circuitsJson(const std::vector<CircuitLive>& circuits);
// The answer to a listing of the page ("/api/aufnahmen", "/api/archiv",
// "/api/archiv/tag" with the day's path) over all circuits, newest first.
Reply circuitsListing(const LiveStatus& status, const QString& path, const QString& day,
                      const HashLookup& hash);
// The real path of a recording the page names, on one circuit's page or on that of
// several; nullopt for anything the page does not hand out.
std::optional<QString> servedRecording(const LiveStatus& status, const QString& relativePath);

} // namespace kestrova
