#include "base/relay/FiledRecordings.h"

#include "base/archive/Archive.h"
#include "base/archive/RecordingFolders.h"
#include "base/archive/RecordingLength.h"
#include "base/archive/RecordingName.h"
#include "base/integrity/FileHash.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QMutexLocker>
#include <utility>

namespace kestrova {

namespace {
// The web page's name of a copy: "W/name" for the recordings folder whatever its
// spelling, the dated archive's path as it is.
QString pageRelativePath(const QString& docFolder, const QString& copy) {
    const QString relative = QDir(docFolder).relativeFilePath(copy);
    const QString first = relative.section(QLatin1Char('/'), 0, 0);
    if (isRecordingsFolderName(first)) {
        return QStringLiteral("W/") + relative.section(QLatin1Char('/'), 1);
    }
    return relative;
}

// To the second, as the name counts; at the offset the local clock had then.
QDateTime startOf(const QString& name, const QDateTime& known) {
    QDateTime start = known;
    if (!start.isValid()) {
        const std::optional<QDateTime> reading = recordingMoment(name);
        if (!reading) {
            return {};
        }
        start = QDateTime(reading->date(), reading->time(), Qt::LocalTime);
    }
    const qint64 second = start.toMSecsSinceEpoch() - start.time().msec();
    return QDateTime::fromMSecsSinceEpoch(second, Qt::OffsetFromUTC, start.offsetFromUtc());
}
} // namespace

FiledRecordings::FiledRecordings(const SettingsValues& values) : values_(values) {
    qRegisterMetaType<FiledRecording>();
    pool_.setMaxThreadCount(1);
}

FiledRecordings::~FiledRecordings() {
    pool_.waitForDone();
}

void FiledRecordings::finish() {
    pool_.waitForDone();
    deliver();
}

void FiledRecordings::releaseReports() {
    held_ = false;
    deliver();
}

void FiledRecordings::deliver() {
    if (held_) {
        return;
    }
    QList<FiledRecording> done;
    {
        const QMutexLocker lock(&mutex_);
        done.swap(done_);
    }
    for (const FiledRecording& facts : std::as_const(done)) {
        emit recordingFiled(facts);
    }
}

void FiledRecordings::follow(const Archive& archive) {
    connect(&archive, &Archive::recordingFiled, this, &FiledRecordings::take);
}

FiledRecording FiledRecordings::factsOf(const QString& docFolder, const QString& name, bool archiving,
                                        const QString& pageBase, const QDateTime& start) {
    const QString folder = QDir::cleanPath(QFileInfo(docFolder).absoluteFilePath());
    FiledRecording facts;
    facts.name = name;
    facts.path = keptCopyPath(folder, name, archiving);
    facts.relativePath = pageRelativePath(folder, facts.path);
    facts.start = startOf(name, start);
    facts.seconds = recordingLength(facts.path);
    if (const std::optional<FileHash> hash = hashFile(facts.path)) {
        facts.sha256 = QString::fromLatin1(hash->hash);
    }
    facts.downloadAddress = downloadAddressOf(pageBase, facts.relativePath);
    return facts;
}

void FiledRecordings::take(const QString& name, const QDateTime& start) {
    const QString docFolder = values_.docFolder;
    const bool archiving = values_.archiveRecordings == 1;
    const QString pageBase = pageBase_;
    pool_.start([this, docFolder, name, archiving, pageBase, start] {
        FiledRecording facts = factsOf(docFolder, name, archiving, pageBase, start);
        {
            const QMutexLocker lock(&mutex_);
            done_.append(std::move(facts));
        }
        QMetaObject::invokeMethod(this, &FiledRecordings::deliver, Qt::QueuedConnection);
    });
}

} // namespace kestrova
