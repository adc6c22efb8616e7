#include "base/recorder/CaptureControl.h"

#include "base/archive/Archive.h"
#include "base/archive/RecordingName.h"
#include "base/audio/CaptureDevice.h"
#include "base/desktop/Clock.h"
#include "base/desktop/Dialogs.h"
#include "base/desktop/EventLog.h"
#include "base/files/FolderLock.h"
#include "base/settings/SettingsValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <optional>
#include <utility>

namespace kestrova {

namespace {

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString openTroubleText(CaptureResult error, const QString& programFolder) {
    if (error == CaptureResult::NoInput) {
        return QStringLiteral("Keine Aufnahme: das Aufnahmegerät lässt sich nicht öffnen.");
    }
    if (error == CaptureResult::FileError) {
        return QStringLiteral("Keine Aufnahme: der Programmordner [") + nativePath(programFolder) +
               QStringLiteral("] nimmt die Aufnahmedatei nicht auf.");
    }
    return QStringLiteral("Keine Aufnahme: das Aufnahmegerät meldet Fehler %1.").arg(static_cast<int>(error));
}

// Refused as already done when the recorder opens a running capture again.
bool isRunning(CaptureResult result) {
    return result == CaptureResult::Ok || result == CaptureResult::WrongState;
}

// A folder that is gone has no canonical path; its written path still tells it apart.
bool isSameFolder(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty()) {
        return canonicalA == canonicalB;
    }
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
           QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

CaptureControl::CaptureControl(const Platform& platform, const SettingsValues& settings,
                               QString programFolder, Archive& archive, FolderLock& folderLock)
    : platform_(platform), settings_(settings), programFolder_(std::move(programFolder)), archive_(archive),
      folderLock_(folderLock) {}

void CaptureControl::startCapture() {
    started_ = platform_.clock.now();
    // Named now as it will be filed, so the log's line of its beginning names it
    // and no earlier recording of the same clock reading (the autumn's repeated hour).
    recordingName = nameFreeEverywhere(makeRecordingName(settings_.circuitNumber, started_));
    if (!holdsFolder()) {
        return;
    }
    for (const int candidate : {11025, 8000, 22050, 44100}) {
        if (rateText_ == QString::number(candidate)) {
            openCapture(8, candidate, 1);
            return;
        }
    }
}

void CaptureControl::openCapture(int bitsPerSample, int samplesPerSecond, int channels) {
    // Only the results that decide whether a recording is made or lost are looked
    // at: a call that does not fit the device's state changes nothing.
    CaptureDevice& device = platform_.capture;
    const CaptureResult opened = device.open();
    device.setFormat(bitsPerSample, samplesPerSecond, channels);
    const CaptureResult recording = device.record();
    const bool wasCapturing = std::exchange(capturing_, isRunning(opened) && isRunning(recording));
    if (capturing_ && !wasCapturing) {
        platform_.events.record(EventPriority::Info, QStringLiteral("Aufnahme begonnen: ") + recordingName);
    }
    if (capturing_ && trouble_ == Trouble::Open) {
        clearTrouble();
    } else if (!capturing_) {
        reportTrouble(Trouble::Open, openTroubleText(isRunning(opened) ? recording : opened, programFolder_));
    }
}

void CaptureControl::pauseCapture() {
    platform_.capture.pause();
}

void CaptureControl::resumeCapture() {
    platform_.capture.resume();
}

void CaptureControl::saveRecording(RecordingPiece piece) {
    const QString saved = stopAndSave();
    if (!saved.isEmpty()) {
        archive_.keepRecording(saved, recordingName, piece, started_);
    }
}

void CaptureControl::discardRecording() {
    const QString saved = stopAndSave();
    if (saved.isEmpty()) {
        return;
    }
    QFile::remove(saved);
    platform_.events.record(EventPriority::Info,
                            QStringLiteral("Aufnahme verworfen, kein Signal seit dem Einschalten: ") +
                                recordingName);
}

QString CaptureControl::stopAndSave() {
    if (recordingName.isEmpty()) {
        return {};
    }
    // Saving runs again at switch-off and at the end of the program. The file of a
    // capture already filed is either gone or, after a failed copy, kept in the
    // working folder; taking it up again would list and count it twice.
    if (capturing_ && !holdsFolder()) {
        dropCapture();
        return {};
    }
    const bool wasCapturing = std::exchange(capturing_, false);
    if (wasCapturing) {
        recordingName = nameFreeInWorkingFolder(recordingName);
    }
    platform_.capture.stop();
    // The device keeps a capture that no folder took on close, for the next start.
    const QString saved = wasCapturing ? saveCopy() : QString();
    platform_.capture.close();
    if (wasCapturing && saved.isEmpty()) {
        reportTrouble(Trouble::Save,
                      QStringLiteral("Die Aufnahme ") + recordingName +
                          QStringLiteral(" konnte weder im Programmordner [") + nativePath(programFolder_) +
                          QStringLiteral("] noch im Dokumentationsordner [") +
                          nativePath(settings_.docFolder) +
                          QStringLiteral("] gespeichert werden. Sie wird beim nächsten Start abgelegt."));
    }
    return saved;
}

bool CaptureControl::holdsFolder() {
    // A folder that is not there is nobody's: the capture goes on, and its saving
    // turns to the documentation folder. One made again is this program's once it
    // can lock it, and another program's while that one holds the lock.
    if (folderLock_.stillHeld() || !QFileInfo::exists(programFolder_) ||
        folderLock_.tryLock() != FolderLock::Result::HeldByOther) {
        if (trouble_ == Trouble::Folder) {
            platform_.events.record(EventPriority::Notice,
                                    QStringLiteral("Der Programmordner [") + nativePath(programFolder_) +
                                        QStringLiteral("] gehört wieder diesem Kestrova."));
            clearTrouble();
        }
        return true;
    }
    if (trouble_ != Trouble::Folder) {
        reportTrouble(
            Trouble::Folder,
            QStringLiteral("Keine Aufnahme: der Programmordner [") + nativePath(programFolder_) +
                QStringLiteral("] wurde ersetzt und gehört jetzt einem anderen Kestrova. Dieses nimmt "
                               "wieder auf, sobald es ihn wieder hält."));
    }
    return false;
}

void CaptureControl::dropCapture() {
    capturing_ = false;
    // The capture's file may lie in a folder another program holds now: nothing is
    // saved there, and the device keeps what it wrote where it wrote it.
    platform_.capture.stop();
    platform_.capture.close();
    platform_.events.record(EventPriority::Error,
                            QStringLiteral("Aufnahme verworfen, der Programmordner gehört "
                                           "jetzt einem anderen Kestrova: ") +
                                recordingName);
}

QString CaptureControl::nameFreeInWorkingFolder(const QString& name) const {
    // A file of the name there is a recording that could not be filed, kept for
    // the user; a capture started in the same second must not be saved over it.
    const QDir folder(programFolder_);
    std::optional<QString> candidate = name;
    while (candidate && QFileInfo::exists(folder.filePath(*candidate))) {
        candidate = nameOneSecondLater(*candidate);
    }
    return candidate.value_or(name);
}

QString CaptureControl::nameFreeEverywhere(const QString& name) const {
    QString candidate = name;
    for (;;) {
        const QString free = archive_.freeName(nameFreeInWorkingFolder(candidate));
        if (free == candidate) {
            return free;
        }
        candidate = free;
    }
}

QString CaptureControl::saveCopy() {
    const QString working = QDir(programFolder_).filePath(recordingName);
    const CaptureResult result = platform_.capture.saveAs(recordingName);
    if (result == CaptureResult::Ok || result == CaptureResult::NothingRecorded) {
        clearTrouble();
        return working;
    }
    const QString docFolder = settings_.docFolder;
    if (docFolder.isEmpty() || isSameFolder(docFolder, programFolder_) ||
        !(QDir(docFolder).exists() || QDir().mkpath(docFolder))) {
        return {};
    }
    const QString aside = QDir(docFolder).filePath(recordingName);
    if (platform_.capture.saveAs(aside) != CaptureResult::Ok) {
        return {};
    }
    emit captureTrouble(QStringLiteral("Der Programmordner [") + nativePath(programFolder_) +
                        QStringLiteral("] nimmt keine Aufnahmen auf; sie gehen über den "
                                       "Dokumentationsordner in den Ordner W."));
    return aside;
}

void CaptureControl::reportTrouble(Trouble kind, const QString& text) {
    emit captureTrouble(text);
    const bool known = trouble_ != Trouble::None;
    trouble_ = kind;
    if (known) {
        return;
    }
    // Shown once the current timer event is done, so the recorder is not in the
    // middle of a step while the box waits for its OK.
    QTimer::singleShot(0, this, [this, text] {
        if (!ended_) {
            platform_.dialogs.message(text, QString(), MessageButtons::Ok, MessageIcon::Stop);
        }
    });
}

void CaptureControl::clearTrouble() {
    trouble_ = Trouble::None;
    emit captureTrouble(QString());
}

} // namespace kestrova
