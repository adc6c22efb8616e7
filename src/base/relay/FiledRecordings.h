#pragma once

#include "base/integrity/RecordingEntry.h"
#include "base/relay/FiledRecording.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace kestrova {

class Archive;
class ManifestWriter;
struct SettingsValues;

// Tells the facts of each recording the archive files (where it lies, its length,
// its SHA-256) to whoever passes recordings on. The manifests' writer reads and
// hashes the copy for its entry on its own thread and reports what it read; here
// the facts are completed on the program's thread and told in the order of the
// filing, each once.
class FiledRecordings : public QObject {
    Q_OBJECT
public:
    FiledRecordings(const SettingsValues& values, ManifestWriter& manifests);
    FiledRecordings(const FiledRecordings&) = delete;
    FiledRecordings& operator=(const FiledRecordings&) = delete;

    // The archive's kept recordings go to the manifests (integrity/ArchiveEntries);
    // its filed ones are told from their entries.
    void follow(const Archive& archive);
    // Until released, the facts gathered wait here: those they are for are not
    // ready yet. Released, what waited is reported in filing order.
    void holdReports() { held_ = true; }
    void releaseReports();
    // Waits a while for the entries still being read and reports every recording
    // filed so far, so none filed before the end is lost: one whose entry has not
    // come goes out without its hash, as an unreadable copy does. The program calls
    // it before its end.
    void finish();
    // The web page's base address ("http://host:port"), empty while no page runs.
    void setPageBase(const QString& base) { pageBase_ = base; }

signals:
    void recordingFiled(const kestrova::FiledRecording& recording);

private:
    // A recording filed, waiting for its entry.
    struct Filed {
        QString name;
        QDateTime start;
        QString docFolder;
        bool archiving = false;
        QString pageBase;
        std::optional<RecordingEntry> entry;
    };

    void kept(const QString& name);
    void filed(const QString& name, const QDateTime& start);
    void entered(const RecordingEntry& entry);
    // Reports the recordings whose entry has come, up to the first still waiting.
    void deliver();

    const SettingsValues& values_;
    ManifestWriter& manifests_;
    QString pageBase_;
    // The archive announces a recording's entry just before it tells it filed.
    QString lastKept_;
    bool held_ = false;
    QList<Filed> filed_; // in filing order
};

} // namespace kestrova
