#pragma once

#include <QString>

namespace kestrova {

class Services;

// The command strings that drive the capture device "capture".
class CaptureControl {
public:
    explicit CaptureControl(Services& program);

    void startCapture();
    void openCapture(int bitsPerSample, int samplesPerSecond, int channels);
    void pauseCapture();
    void resumeCapture();
    // Stops, saves and closes the capture, then keeps and files the recording.
    void saveRecording();
    // True while the device records the current recording; false when it could
    // not open or start.
    bool isCapturing() const { return capturing_; }

    QString recordingName;

private:
    int send(const QString& command);
    // Saves under recordingName in the working folder or, when that refuses, in
    // the documentation folder; the saved file's path, or empty when nowhere took it.
    QString saveCopy();
    // `name`, or the first later second with no file in the working folder.
    QString nameFreeInWorkingFolder(const QString& name) const;
    enum class Trouble { None, Open, Save };
    // Shows the trouble in the status bar while it lasts, and once in a message.
    void reportTrouble(Trouble kind, const QString& text);
    void clearTrouble();

    Services& program_;
    // A capture runs since the last save, so the next save has a file to file.
    bool capturing_ = false;
    Trouble trouble_ = Trouble::None;
};

} // namespace kestrova
