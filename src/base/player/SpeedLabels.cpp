#include "base/player/SpeedLabels.h"

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

void SpeedLabels::choose(int speed) {
    stopForSpeed(speed);
    playAtSpeed(speed);
}

void SpeedLabels::stopForSpeed(int speed) {
    if (speed == kNormalSpeed) {
        stopForNormalSpeed();
    } else {
        stopForFasterSpeed(speed);
    }
}

void SpeedLabels::playAtSpeed(int speed) {
    if (speed == kNormalSpeed) {
        readNormalSpeedFile();
        startNormalSpeed();
    } else {
        playAtFasterSpeed(speed);
    }
}

void SpeedLabels::stopForNormalSpeed() {
    playback_.showSpeedPressed(kNormalSpeed);
    // Normal speed restarts where the last start began, not where playback is now.
    playback_.setSlider(playback_.state().startPos);
    playback_.stopPlayback();
    playback_.stopFollowing();
    playback_.startFocusing();
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

void SpeedLabels::stopForFasterSpeed(int speed) {
    playback_.showSpeedPressed(speed);
    // A faster speed goes on at the fraction that the playback had reached.
    playback_.state().startPos = playback_.state().pos;
    playback_.setSlider(playback_.state().startPos);
    playback_.stopPlayback();
    playback_.stopFollowing();
    playback_.startFocusing();
}

void SpeedLabels::playAtFasterSpeed(int speed) {
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

} // namespace kestrova
