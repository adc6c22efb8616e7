#pragma once

#include "base/integrity/ExportRange.h"

#include <QDateTime>
#include <QString>
#include <QTextStream>

namespace kestrova {

// What an export did, for the exit status.
enum class ExportStatus : int {
    Proven = 0,    // written, and its recordings match their manifest lines
    Findings = 1,  // written, and the report lists findings (changed, missing, unlisted)
    NotWritten = 2 // refused or failed: no file is there
};

// Writes one uncompressed tar to target: a folder named after it that holds the
// recordings of range below docFolder (as they lie there), the circuit's manifests
// from the chain's start up to the day of the last line of the range, the range's
// description and the German report of the check of exactly those recordings, which
// it also prints. A target that is there is never replaced; a failed write leaves
// none. `range.manifestsUntil` is found here.
ExportStatus exportRecordings(const QString& docFolder, ExportRange range, const QString& target,
                              const QDateTime& now, QTextStream& out);

} // namespace kestrova
