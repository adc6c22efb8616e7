#pragma once

#include "base/common/ListedRecordings.h"

#include <QString>

namespace kestrova {

// One circuit of several shown on one page: what its folders hold and what its
// recorder last said of itself.
struct CircuitLive {
    QString name;      // "Name des Funkkreises", or the folder's name
    QString number;    // its digit; empty when the folder holds every circuit's
    QString docFolder; // absolute
    ListedRecordings recordings;
    QString state;   // German, from its status message; "unbekannt" without one
    QString problem; // German, why its folder cannot be read; empty while it can
    bool operator==(const CircuitLive&) const = default;
};

} // namespace kestrova
