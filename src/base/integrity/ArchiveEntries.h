#pragma once

namespace kestrova {

class Archive;
class Clock;
class ManifestWriter;
struct SettingsValues;

// Enters what the archive keeps and deletes in the manifests of its documentation
// folder, dated by the clock; both programs connect their archive so.
void enterArchiveInManifests(Archive& archive, ManifestWriter& manifests, const SettingsValues& values,
                             const Clock& clock);

} // namespace kestrova
