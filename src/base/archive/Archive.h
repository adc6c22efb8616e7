#pragma once

#include "base/archive/ClockDoubt.h"
#include "base/archive/FiledThisRun.h"
#include "base/archive/RecordingListModel.h"
#include "base/archive/RecordingRules.h"
#include "base/platform/Platform.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kestrova {

struct ListPassResult;
class SettingsStore;
struct SettingsValues;

// The list of recent recordings, the filing of new ones and the deletion of old ones;
// what the user does with the list is ListInteractions. It owns the list; the forms
// show what it signals (ArchiveControls).
class Archive : public QObject {
    Q_OBJECT
public:
    // The settings' store also says when the deletion pass must not delete.
    Archive(const Platform& platform, SettingsStore& settings);

    void createTables();
    void refreshRecordingList();
    void deleteMarkedRecordings();
    // Empties the list, the count and what is due, before the list is read anew.
    void forgetList();
    // The user deleted a recording of the list from D/w.
    void noteDeletedByHand(const QString& path);

    // The path of the recording that list row `row` names, in D/w. The bare folder
    // path (ending in "/") when the row names no file, or a name that would lead
    // out of the folder.
    QString entryPath(int row) const;
    // The list row naming the recording at `path` in D/w; -1 when no row does.
    int rowOfPath(const QString& path) const;
    // Removes the recording that row `row` names from D/w; its path, or empty when
    // the row names none, or a file outside the folder, or it could not be removed.
    QString removeListedRecording(int row);

    // Called by the recorder once a capture is saved and closed: keeps a recording
    // longer than the minimum, or continuing a split transmission, under the next
    // free second when another recording has its name, and removes the working file
    // unless keeping it failed. A copy of this very recording already under its name
    // (an earlier start filed it in one place only) counts as made. `start` is when
    // the recorder began it, invalid when nobody knows.
    void keepRecording(const QString& workingFile, const QString& name,
                       RecordingPiece piece = RecordingPiece::Beginning, const QDateTime& start = {});
    // `name`, or the first later second whose name no recording has in D/w or in
    // the dated tree: the name a recording started now will be filed under.
    QString freeName(const QString& name) const;
    // Copies into the dated tree (when chosen) and into D/w, where no copy of it is
    // yet; true when the copy into D/w is in place.
    bool archiveRecording(const QString& workingFile, const QString& name);
    // Length in seconds; leaves the header fields read in headerFields.
    double readRecordingLength(const QString& path);

    QStringList headerFields;
    // Full paths of recordings due for deletion, filled by each list pass.
    QStringList deleteList;

    // Why the deletion pass must not delete now, empty when it may: settings that
    // are only a guess, or a clock in doubt.
    QString deletionHold() const;
    // What lb_Sounds shows.
    RecordingListModel& recordingList() { return recordingList_; }

signals:
    // A list pass begins: the main window shows, and the info window in front of it
    // says to wait.
    void passStarted();
    // What the info window says while a recording is deleted.
    void infoText(const QString& text);
    // The deletions are done: the info window goes.
    void waitOver();
    // The pass is through, after the start it may have completed: the main window shows.
    void passFinished();
    // The list row to show as current.
    void rowSelected(int row);
    // For the status bar: the recordings counted, and why nothing is deleted (empty
    // when deletions may run).
    void fileCountChanged(long long count);
    void deletionHoldChanged(const QString& reason);
    // Each kept recording once its copies are in place, and each recording the
    // program deleted from D/w, with the reason: the manifests enter them.
    void recordingKept(const QString& name);
    void recordingsDeleted(const QStringList& paths, const QString& reason);
    // A list pass begins and the recorder starts by itself: the start is completed
    // (in the windows, by the settings form's switch-on button) before the folder is
    // read, so the recorder listens while a long list is read and its old recordings
    // deleted.
    void startDue();
    // The player's next file: the pass leaves the last it looked at, the filing the
    // recording it keeps.
    void playerFileChosen(const QString& path);
    // A recording was filed under name (in the recordings folder, and in the dated
    // archive when archiving), begun at start (invalid when not known): what passes
    // recordings on starts from here.
    void recordingFiled(const QString& name, const QDateTime& start);

private:
    // D/w as it is spelt on the disk, or as it would be made.
    QString listFolder() const;
    void selectLastEntry();
    void addListEntry(const QString& name, double seconds);
    // One line in the event log: kept, dropped as too short, or left where it was.
    void reportKept(const QString& name, double seconds, bool worthKeeping, bool filed);
    // The retention pass's deletions, in the event log and to whoever listens.
    void reportRemoved(const QStringList& removed);
    // Takes over what a list pass found, with the recordings filed while it ran.
    void takeListPass(ListPassResult result);
    // Asks whether the clock is in doubt; says it in the event log as a hold begins
    // and ends, not at every pass.
    void judgeClock();
    // True when the working folder is itself where the recording is kept.
    bool isStoredCopy(const QString& workingFile, const QString& name) const;
    // A name to file a recording under and the copies of it already there.
    struct FilingName {
        QString name;
        QStringList copiesThere;
    };
    // `name`, or the first later second whose name no other recording has in D/w
    // or in the dated tree; nullopt for a name that is not a recording's and is taken.
    std::optional<FilingName> firstFreeName(const QString& workingFile, const QString& name) const;
    // The copies of the working file's recording that lie under `name` in D/w and in
    // the dated tree; nullopt when another recording has the name in either.
    std::optional<QStringList> copiesUnder(const QString& workingFile, const QString& name) const;
    // Files it under the name found for it: the copies, the count, the list and the
    // manifests, each unless an earlier start did it. True when D/w holds it.
    bool fileRecording(const QString& workingFile, const FilingName& target, double seconds);
    // The copy in D/w, where the list and the count come from.
    QString recordingsFolderCopy(const QString& name) const;
    // The count of listed recordings, line 21 of the settings.
    void countRecordings(long long count);

    const Platform platform_;
    ClockDoubt clockDoubt_{platform_.clock};
    // Why the clock holds the deletions, as last judged; empty when it does not.
    QString clockHold_;
    FiledThisRun filedThisRun_;
    SettingsStore& store_;
    const SettingsValues& settings_;
    RecordingListModel recordingList_;
    // While a list pass runs off the interface thread, the recordings filed
    // meanwhile; the pass may have been too early to see them.
    bool passRunning_ = false;
    std::vector<ListedRecording> filedDuringPass_;
    bool removing_ = false;
};

} // namespace kestrova
