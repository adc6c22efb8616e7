#pragma once

#include <QString>

class QIODevice;

namespace kestrova {

class Services;
class Playback;
struct WaveInfo;

// What the sound window shows of its file and its playback: the slider, the
// speed labels, the file name, the waveform and the level bar. It shows what the
// playback signals.
class SoundWindowView {
public:
    explicit SoundWindowView(Services& program) : program_(program) {}

    // Shows on the sound window what the playback signals; called once the window exists.
    void bindSoundWindow(Playback& playback);
    // Shows on the main window what the playback signals; called once the main window exists.
    void bindMainWindow(Playback& playback);

    void setMainWindowEnabled(bool enabled);
    void showSpeedControls();
    void showFileName(const QString& path);
    // No file: no name, no waveform, and no speed to press.
    void showNoFile();
    // Drawn over what the area shows; callers that want a clean picture clear it first.
    void drawWaveform(const WaveInfo& info, QIODevice* samples);

private:
    void showSpeedPressed(int speed);
    void showFailure(const QString& message, const QString& path);
    void showLevel(int level);

    Services& program_;
};

} // namespace kestrova
