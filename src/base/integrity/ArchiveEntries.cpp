#include "base/integrity/ArchiveEntries.h"

#include "base/archive/Archive.h"
#include "base/desktop/Clock.h"
#include "base/integrity/ManifestWriter.h"
#include "base/settings/SettingsValues.h"

namespace kestrova {

void enterArchiveInManifests(Archive& archive, ManifestWriter& manifests, const SettingsValues& values,
                             const Clock& clock) {
    // The manifests outlive the archive, which ends these connections.
    QObject::connect(
        &archive, &Archive::recordingKept, &archive, [&manifests, &values, &clock](const QString& name) {
            manifests.recordKept(values.docFolder, name, values.archiveRecordings == 1, clock.now().date());
        });
    QObject::connect(&archive, &Archive::recordingsDeleted, &archive,
                     [&manifests, &values, &clock](const QStringList& paths, const QString& reason) {
                         manifests.recordRemoved(values.docFolder, paths, reason, clock.now().date());
                     });
}

} // namespace kestrova
