#pragma once

#include "base/archive/RecordingRules.h"
#include "base/platform/Platform.h"

#include <QDateTime>
#include <QObject>
#include <QString>

namespace kestrova {

class Archive;
class FolderLock;
struct SettingsValues;

// Drives the capture device through a recording: open, record, pause, save and close.
class CaptureControl : public QObject {
    Q_OBJECT
public:
    // The archive keeps and files each saved recording; the folder's lock says
    // whether the program folder, where captures are made, is still this program's.
    CaptureControl(const Platform& platform, const SettingsValues& settings, QString programFolder,
                   Archive& archive, FolderLock& folderLock);

    // The program has ended: no message box may open from now on.
    void noteProgramEnded() { ended_ = true; }

    // The sample rate as the settings form's rate box shows it; only its exact
    // text of a known rate starts a capture.
    void setRateText(const QString& text) { rateText_ = text; }
    void startCapture();
    void openCapture(int bitsPerSample, int samplesPerSecond, int channels);
    void pauseCapture();
    void resumeCapture();
    // Stops, saves and closes the capture, then keeps and files the recording.
    void saveRecording(RecordingPiece piece = RecordingPiece::Beginning);
    // Stops and closes the capture and throws its recording away unfiled.
    void discardRecording();
    // True while the device records the current recording; false when it could
    // not open or start.
    bool isCapturing() const { return capturing_; }

    QString recordingName;

signals:
    // Why recordings cannot be made or saved as they should, for the status bar;
    // empty once they can.
    void captureTrouble(const QString& text);

private:
    // Stops, saves and closes the capture; the saved file's path, or empty when
    // there was no capture to save or nowhere took it.
    QString stopAndSave();
    // Saves under recordingName in the working folder or, when that refuses, in
    // the documentation folder; the saved file's path, or empty when nowhere took it.
    QString saveCopy();
    // `name`, or the first later second with no file in the working folder.
    QString nameFreeInWorkingFolder(const QString& name) const;
    // `name`, or the first later second with no file in the working folder, in D/w
    // or in the dated tree.
    QString nameFreeEverywhere(const QString& name) const;
    // False, said once, while the program folder is not this program's: deleted or
    // replaced, perhaps held by another program now. Taken again when it may be.
    bool holdsFolder();
    // Ends the running capture without writing anything into the folder.
    void dropCapture();
    enum class Trouble { None, Open, Save, Folder };
    // Shows the trouble in the status bar while it lasts, and once in a message.
    void reportTrouble(Trouble kind, const QString& text);
    void clearTrouble();

    const Platform platform_;
    const SettingsValues& settings_;
    // Also the folder in which captures are saved under their bare names.
    const QString programFolder_;
    Archive& archive_;
    FolderLock& folderLock_;
    QString rateText_;
    // When the current recording began, as the clock read then.
    QDateTime started_;
    bool ended_ = false;
    // A capture runs since the last save, so the next save has a file to file.
    bool capturing_ = false;
    Trouble trouble_ = Trouble::None;
};

} // namespace kestrova
