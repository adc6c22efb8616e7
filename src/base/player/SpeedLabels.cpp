#include "base/player/SpeedLabels.h"

#include "base/common/ControlCodes.h"
#include "base/player/LoadedFile.h"
#include "base/player/Playback.h"
#include "base/player/SoundFileLoader.h"

#include <QDir>

namespace kestrova {

SpeedLabels::SpeedLabels(Playback& playback, SoundFileLoader& loader, LoadedFile& file,
                         const QString& programFolder)
    : playback_(playback), loader_(loader), file_(file), programFolder_(programFolder) {}

QString SpeedLabels::rxWavePath() const {
    return QDir(programFolder_).filePath(QStringLiteral("rx.wav"));
}

void SpeedLabels::playAtNormalSpeed() {
    lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
}

void SpeedLabels::lblFreqNorm_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    playback_.showSpeedPressed(0);
    // Normal speed restarts where the last start began, not where playback is now.
    playback_.setSlider(playback_.state().startPos);
    playback_.stopPlayback();
    playback_.stopFollowing();
    playback_.startFocusing();
}

void SpeedLabels::lblFreqNorm_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    readNormalSpeedFile();
    startNormalSpeed();
}

bool SpeedLabels::readNormalSpeedFile() {
    file_.setCurrent(file_.original());
    return loader_.reloadPlayerFile();
}

void SpeedLabels::startNormalSpeed() {
    playback_.startPlayback();
    playback_.setSlider(playback_.state().startPos);
    playback_.startFocusing();
}

void SpeedLabels::pressFasterLabel(int speed) {
    playback_.showSpeedPressed(speed);
    // A faster speed goes on at the fraction that the playback had reached.
    playback_.state().startPos = playback_.state().pos;
    playback_.setSlider(playback_.state().startPos);
    playback_.stopPlayback();
    playback_.stopFollowing();
    playback_.startFocusing();
}

void SpeedLabels::releaseFasterLabel(int speed) {
    const QString rx = rxWavePath();
    if (!copies_.write(speed, rx)) {
        // An old rx.wav would play another recording: stay stopped instead.
        playback_.showSpeedPressed(Playback::kNoSpeed);
        return;
    }
    file_.setCurrent(rx);
    loader_.reloadPlayerFile();
    if (file_.loaded() != rx) {
        // The copy's header was refused, so the file named by loadedFile is not the copy.
        playback_.showSpeedPressed(Playback::kNoSpeed);
        return;
    }
    playback_.startPlayback();
    playback_.setSlider(playback_.state().startPos);
}

void SpeedLabels::lblFreq1_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(1);
}

void SpeedLabels::lblFreq1_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(1);
}

void SpeedLabels::lblFreq2_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(2);
}

void SpeedLabels::lblFreq2_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(2);
}

void SpeedLabels::lblFreq3_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(3);
}

void SpeedLabels::lblFreq3_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(3);
}

} // namespace kestrova
