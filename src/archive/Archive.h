#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kestrova {

class Services;

// The list of recent recordings, the filing of new ones and the deletion of old ones;
// what the user does with the list is ListInteractions.
class Archive {
public:
    explicit Archive(Services& program);

    void createTables();
    void refreshRecordingList();
    void deleteMarkedRecordings();

    // Called by the recorder once a capture is saved and closed: keeps a recording
    // longer than the minimum, under the next free second when its name is taken,
    // and removes the working file unless keeping it failed.
    void keepRecording(const QString& workingFile, const QString& name);
    // Copies into the dated tree (when chosen) and into D/w and counts the recording;
    // true when the copy into D/w is in place.
    bool archiveRecording(const QString& workingFile, const QString& name);
    // Length in seconds; leaves the header fields read in headerFields.
    double readRecordingLength(const QString& path);

    QStringList headerFields;
    // Full paths of recordings due for deletion, filled by each list pass.
    QStringList deleteList;

    // Given by the program, since both belong to the settings above the archive.
    // Why the deletion pass must not delete now, empty when it may.
    std::function<QString()> deletionHold;
    // The settings form's switch-on button, which the deletion pass presses when
    // the recorder starts by itself.
    std::function<void()> saveSettingsForm;

private:
    void selectLastEntry();
    void addListEntry(const QString& name, double seconds);
    // True when the working folder is itself where the recording is kept.
    bool isStoredCopy(const QString& workingFile, const QString& name) const;
    // `name`, or the first later second whose name no other recording has in D/w
    // or in the dated tree; nullopt for a name that is not a recording's and is taken.
    std::optional<QString> firstFreeName(const QString& workingFile, const QString& name) const;
    bool isNameTaken(const QString& workingFile, const QString& name) const;

    Services& program_;
};

} // namespace kestrova
