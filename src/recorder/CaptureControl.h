#pragma once

#include <QString>

namespace kestrova {

class Program;

// The command strings that drive the capture device "capture".
class CaptureControl {
public:
    explicit CaptureControl(Program& program);

    void startCapture();
    void openCapture(int bitsPerSample, int samplesPerSecond, int channels);
    void pauseCapture();
    void resumeCapture();
    // Stops, saves and closes the capture, then keeps and files the recording.
    void saveRecording();

    QString recordingName;

private:
    void send(const QString& command);
    // `name`, or the first later second with no file in the working folder.
    QString nameFreeInWorkingFolder(const QString& name) const;

    Program& program_;
    // A capture was started since the last save, so the next save has a file to file.
    bool captureUnfiled_ = false;
};

} // namespace kestrova
