#pragma once

#include "player/LevelTable.h"

#include <QString>
#include <utility>

class QIODevice;

namespace kestrova {

class Services;
struct WaveInfo;

// What the sound window shows of its file and its playback: the slider, the
// speed labels, the file name, the waveform and the level bar.
class SoundWindowView {
public:
    // For showSpeedPressed: none of the labels; 0 is normal speed, 1 to 3 the faster ones.
    static constexpr int kNoSpeed = -1;

    explicit SoundWindowView(Services& program) : program_(program) {}

    // Clamped to the slider's range.
    void setSlider(long long value);
    int sliderValue() const;
    // Where the user's hand has the slider; a drag reports before the value follows it.
    int sliderPosition() const;
    void setMainWindowEnabled(bool enabled);
    void showSpeedPressed(int speed);
    void showSpeedControls();
    void showFileName(const QString& path);
    // No file: no name, no waveform, no table, and no speed to press.
    void showNoFile();
    // The card refused to play or gave up.
    void showFailure(const QString& message, const QString& path);
    // Drawn over what the area shows; callers that want a clean picture clear it first.
    void drawWaveform(const WaveInfo& info, QIODevice* samples);

    const LevelTable& levelTable() const { return levelTable_; }
    void setLevelTable(LevelTable table) { levelTable_ = std::move(table); }
    // What the level bar shows; it only ever decays, never resets.
    double meterPeak() const { return meterPeak_; }
    void updatePlaybackMeter();

private:
    Services& program_;
    LevelTable levelTable_;
    double meterPeak_ = 0;
};

} // namespace kestrova
