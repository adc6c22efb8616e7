#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

class Program;

// The list of recent recordings, the filing of new ones and the deletion of old ones.
class Archive {
public:
    explicit Archive(Program& program);

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

    // What the user does with the list: a click plays an entry, the delete button
    // and a confirmed double click delete it.
    void lb_Sounds_MouseDown(int button, int shift, int x, int y);
    void lb_Sounds_MouseUp(int button, int shift, int x, int y);
    void lb_Sounds_DblClick();
    void cmd_File_lö_MouseDown(int button, int shift, int x, int y);
    void reloadRecordingList();

    // The path of the recording that list row `row` names, in D/w. The bare folder
    // path (ending in "/") when the row names no file, or a name that would lead
    // out of the folder.
    QString entryPath(int row) const;

    QStringList headerFields;
    // Full paths of recordings due for deletion, filled by each list pass.
    QStringList deleteList;

private:
    void selectLastEntry();
    void addListEntry(const QString& name, double seconds);
    // The file name as the row was listed, before any check; empty without a row.
    QString entryName(int row) const;
    QString recordingsFolder() const;
    // Deletes the selected recording; false for anything that went wrong.
    bool deleteSelectedRecording();
    // Selects the row naming `path`; false when no row does.
    bool selectEntryOf(const QString& path);
    // True when the working folder is itself where the recording is kept.
    bool isStoredCopy(const QString& workingFile, const QString& name) const;
    // `name`, or the first later second whose name no other recording has in D/w
    // or in the dated tree; nullopt for a name that is not a recording's and is taken.
    std::optional<QString> firstFreeName(const QString& workingFile, const QString& name) const;
    bool isNameTaken(const QString& workingFile, const QString& name) const;

    Program& program_;
};

} // namespace kestrova
