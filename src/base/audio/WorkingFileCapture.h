#pragma once

#include "base/audio/CaptureDevice.h"
#include "base/wav/Wav8WorkingFile.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kestrova {

class InputHub;
class Resampler;

// The recorder's capture device: records the input the meter listens to into a
// working WAV file on disk and saves it under a name on request. Runs on the
// user-interface thread; call pump() on every timer tick.
class WorkingFileCapture final : public CaptureDevice {
public:
    static constexpr const char* kWorkingFileName = "capture.part.wav";

    // `selectedDevice` gives the input position to open when the hub has none
    // open. The hub must outlive the device.
    WorkingFileCapture(InputHub& hub, std::function<int()> selectedDevice, QString workingFolder);
    ~WorkingFileCapture() override;
    WorkingFileCapture(const WorkingFileCapture&) = delete;
    WorkingFileCapture& operator=(const WorkingFileCapture&) = delete;

    // Each call first takes in what the input delivered.
    CaptureResult open() override;
    CaptureResult setFormat(int bitsPerSample, int samplesPerSecond, int channels) override;
    CaptureResult record() override;
    CaptureResult pause() override;
    CaptureResult resume() override;
    CaptureResult stop() override;
    CaptureResult saveAs(const QString& path) override;
    CaptureResult close() override;
    // Moves what the input delivered since the last call into the working file.
    void pump();

    QString workingFilePath() const;
    // Completes the header of a working file a crash left behind.
    static std::optional<WavFormat> recoverWorkingFile(const QString& path);
    // Moves a working file out of the next capture's way, to the first free
    // "capture.interrupted-N.wav" beside it; the new path, or empty on failure.
    static QString setAside(const QString& path);
    static constexpr const char* kSetAsidePrefix = "capture.interrupted-";

private:
    enum class State { Closed, Idle, Recording, Paused };

    // Pumps, and says whether the device is open.
    bool pumpIfOpen();
    CaptureResult startRecording();
    std::uint64_t preRollStart() const;
    void stopRecording();
    bool writeCopy(QIODevice& out);
    void closeWorkingFile();
    std::uint64_t heldSamples() const { return file_.samples() + pending_.size(); }

    void receive(std::span<const std::uint8_t> samples, int sampleRate);
    void writePending();

    InputHub& hub_;
    std::function<int()> selectedDevice_;
    QString folder_;
    State state_ = State::Closed;
    int sampleRate_ = 11025;
    Wav8WorkingFile file_;
    std::unique_ptr<Resampler> resampler_;
    std::vector<std::uint8_t> pending_;
    // How much of the capture the last successful save held: what goes beyond
    // it must not be thrown away on close.
    std::uint64_t savedSamples_ = 0;
    // Where in the hub's sample count the last file stopped taking input; kept
    // from one file to the next.
    std::optional<std::uint64_t> stoppedAt_;
    int sinkId_ = 0;
    // Moves the input into the working file while the device is open, so a long
    // capture waits on disk rather than in memory.
    QTimer writer_;
};

} // namespace kestrova
