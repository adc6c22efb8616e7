#pragma once

#include "base/integrity/ExportRange.h"

#include <QDateTime>
#include <QString>
#include <QTextStream>

namespace kestrova {

// The exit status of a check, for scripts.
enum class VerificationStatus : int {
    AllGood = 0,    // every recording matches its manifest entry and every chain is whole
    Findings = 1,   // something is changed, missing, unlisted, or a manifest is damaged
    CannotCheck = 2 // the folder is not there, or there is no manifest for (some of) its recordings
};

// Checks every recording below folder (a documentation folder or a folder inside
// one) against the manifests of its documentation folder, prints each finding in
// German, then the last hash of each manifest. It takes no lock and makes no
// window, so it can run beside a recorder on the same folder; now tells a copy
// saved a moment ago, whose entry is still being written, from an unlisted one.
// notedHash, when given, is a hash noted elsewhere (lower-case hex): a line's hash or
// a recording's SHA-256 that is no longer in any manifest is a finding, since only
// it shows an end of the chain cut off together with its recordings.
// With a range (or in an unpacked export, the range its description names) only the
// recordings in it are checked, and only the manifests it holds are read.
VerificationStatus verifyRecordings(const QString& folder, QTextStream& out, const QDateTime& now,
                                    const QByteArray& notedHash = {},
                                    const std::optional<ExportRange>& range = std::nullopt);

// Prints the last hash of each circuit's chain, one line each ("hash  manifest"),
// for a script to mail or log: noted elsewhere, it stands for every line before it.
// AllGood when the manifests are whole, Findings when any is damaged, CannotCheck
// when there is none.
VerificationStatus printLastHashes(const QString& folder, QTextStream& out);

// The documentation folder that folder belongs to: the nearest of it and the
// folders above it that holds manifests; folder itself when none does.
QString documentationFolderOf(const QString& folder);

} // namespace kestrova
