#pragma once

#include <QString>
#include <vector>

namespace kestrova {

struct Forms;
class Playback;
class SoundFileLoader;
struct WaveformLine;

// What the sound window shows of its file and its playback: the slider, the
// speed labels, the file name, the waveform and the level bar, and of the main
// window the load label and the deletion. It shows what the playback and the
// loader signal.
class SoundWindowView {
public:
    explicit SoundWindowView(const Forms& forms) : forms_(forms) {}

    // Shows on the sound window what the parts signal; called once the window exists.
    void bindSoundWindow(Playback& playback, SoundFileLoader& loader);
    // Shows on the main window what the parts signal; called once the main window exists.
    void bindMainWindow(Playback& playback, SoundFileLoader& loader);

private:
    void setMainWindowEnabled(bool enabled);
    void showSpeedControls();
    void showFileName(const QString& path);
    // No file: no name, no waveform, and no speed to press.
    void showNoFile();
    // Drawn over what the area shows; callers that want a clean picture clear it first.
    void drawWaveform(const std::vector<WaveformLine>& lines);
    void showSpeedPressed(int speed);
    void showFailure(const QString& message, const QString& path);
    void showLevel(int level);

    const Forms& forms_;
};

} // namespace kestrova
