#pragma once

#include "base/relay/FiledRecording.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>

namespace kestrova {

class Archive;
struct SettingsValues;

// Gathers the facts of each recording the archive files (where it lies, its length,
// its SHA-256) and tells them to whoever passes recordings on. The hashing runs on a
// thread of its own, one recording after the other, so the recorder never waits
// and the order of the filing is the order of the reports.
class FiledRecordings : public QObject {
    Q_OBJECT
public:
    explicit FiledRecordings(const SettingsValues& values);
    ~FiledRecordings() override;
    FiledRecordings(const FiledRecordings&) = delete;
    FiledRecordings& operator=(const FiledRecordings&) = delete;

    void follow(const Archive& archive);
    // Until released, the facts gathered wait here: those they are for are not
    // ready yet. Released, what waited is reported in filing order.
    void holdReports() { held_ = true; }
    void releaseReports();
    // Waits for the recordings still being looked at and reports them now, so none
    // filed before the end is lost; the program calls it before its end.
    void finish();
    // The web page's base address ("http://host:port"), empty while no page runs.
    void setPageBase(const QString& base) { pageBase_ = base; }
    // The facts of a recording filed under name, read now on the calling thread.
    // `start` is when the recorder began it; when unknown, the name's reading of the
    // local clock stands for it.
    static FiledRecording factsOf(const QString& docFolder, const QString& name, bool archiving,
                                  const QString& pageBase, const QDateTime& start = {});

signals:
    void recordingFiled(const kestrova::FiledRecording& recording);

private:
    void take(const QString& name, const QDateTime& start);
    // Reports what the hashing thread has done, in order.
    void deliver();

    const SettingsValues& values_;
    QString pageBase_;
    bool held_ = false;
    QMutex mutex_;
    QList<FiledRecording> done_; // guarded by mutex_
    QThreadPool pool_;           // last: it ends before what it reports to
};

} // namespace kestrova
