#pragma once

#include <QString>

namespace kestrova {

// One command string for the "capture" alias, taken apart.
struct CaptureCommand {
    enum class Verb { Invalid, Open, SetFormat, Record, Pause, Resume, Stop, Save, Close };
    Verb verb = Verb::Invalid;
    // For SetFormat, as given; the device decides whether it can do them.
    int bitsPerSample = 0;
    int samplesPerSec = 0;
    int channels = 0;
    int bytesPerSec = 0;
    int alignment = 0;
    QString fileName; // for Save, case kept
};

// Words are matched without regard to case; anything else is Verb::Invalid.
CaptureCommand parseCaptureCommand(const QString& text);

// Error numbers handed back by the capture device.
enum CaptureError : int {
    kCaptureOk = 0,
    kCaptureUnknownCommand = 1,
    kCaptureWrongState = 2,
    kCaptureBadFormat = 3,
    kCaptureNothingRecorded = 4,
    kCaptureNoInput = 5,
    kCaptureFileError = 6,
};

} // namespace kestrova
