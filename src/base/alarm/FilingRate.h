#pragma once

#include "base/common/ListedRecordings.h"

#include <QDateTime>
#include <optional>

namespace kestrova {

// How fast recordings fill the disk: the bytes the recordings of the list that
// began within the last week take, each in `copies` copies of 8-bit mono at
// `samplesPerSecond`, over the days they span (a week, or since the first of them,
// at least one day). Nullopt while the week holds no recording.
std::optional<double> bytesFiledPerDay(const ListedRecordings& list, const QDateTime& now,
                                       int samplesPerSecond, int copies);

} // namespace kestrova
