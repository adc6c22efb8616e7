#pragma once

#include <QString>

namespace kestrova {

// What the capture device answers. The recorder shows the number of a failure it
// has no words for, so each keeps its number.
enum class CaptureResult : int {
    Ok = 0,
    WrongState = 2,
    BadFormat = 3,
    NothingRecorded = 4,
    NoInput = 5,
    FileError = 6,
};

// The recorder's capture: opened, given its format and recording; paused and
// resumed within the same recording; stopped, saved under a name and closed. A
// call that does not fit the device's state is refused with WrongState and
// changes nothing.
class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;

    virtual CaptureResult open() = 0;
    // Only 8 bits, one channel and 8000, 11025, 22050 or 44100 samples a second;
    // not while recording or paused.
    virtual CaptureResult setFormat(int bitsPerSample, int samplesPerSecond, int channels) = 0;
    virtual CaptureResult record() = 0;
    virtual CaptureResult pause() = 0;
    virtual CaptureResult resume() = 0;
    virtual CaptureResult stop() = 0;
    // Writes what was recorded to `path`; a bare name goes into the device's working folder.
    virtual CaptureResult saveAs(const QString& path) = 0;
    virtual CaptureResult close() = 0;
};

} // namespace kestrova
