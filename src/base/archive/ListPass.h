#pragma once

#include "base/common/ListedRecordings.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

// What a list pass goes by, copied from the settings, so that the pass can run
// on a thread of its own.
struct ListPassRules {
    QString folder;  // D/w
    QString circuit; // the digit the recorder names the circuit's recordings by, their first character
    QDate today;
    double retentionDays = 0;
    double minRecordLimit = 0;
    // The recordings this run filed, with the day each was made by the clock as it
    // stands now: their names hold the clock of their filing, which may have been wrong.
    QHash<QString, QDate> filedThisRun;
};

struct ListPassResult {
    ListedRecordings listed; // in list order
    QStringList deleteList;  // full paths, in list order
    QString lastLookedAt;    // the circuit's last name in list order, as a full path
    // The header texts of the last recording whose length was read, as the length
    // reader leaves them; none when no length was read.
    std::optional<QStringList> headerFields;
    // The names of filedThisRun still in the folder.
    QSet<QString> filedThisRunFound;
    // The newest name by its moment that this run did not file; empty when none.
    QString newestBeforeThisRun;
};

// Lists the recordings of the circuit in the folder by the retention rules: a
// recent one longer than the minimum is listed with its length, the others are
// marked for deletion (a name without a day is never too old), names of six
// characters or fewer are passed over, other circuits are left alone. Each length
// is read from the file's first bytes. The order is the moments' in the names;
// where they cannot tell it (the hour the clock repeats in autumn, one moment in
// two names), the order of filing.
ListPassResult runListPass(const ListPassRules& rules);

// Removes the marked recordings that lie directly inside the folder; the paths of
// those removed, in the order given.
QStringList removeRecordings(const QStringList& paths, const QString& folder);

} // namespace kestrova
