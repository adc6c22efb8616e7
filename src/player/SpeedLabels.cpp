#include "player/SpeedLabels.h"

#include "player/Player.h"
#include "player/SoundWindowView.h"
#include "services/Services.h"

#include <QDir>

namespace kestrova {

SpeedLabels::SpeedLabels(Services& program, Player& player, SoundWindowView& view)
    : program_(program), player_(player), view_(view) {}

QString SpeedLabels::rxWavePath() const {
    return QDir(program_.programFolder()).filePath(QStringLiteral("rx.wav"));
}

void SpeedLabels::lblFreqNorm_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    Playback& playback = player_.playback();
    player_.playback().showSpeedPressed(0);
    // Normal speed restarts where the last start began, not where playback is now.
    player_.playback().setSlider(playback.state().startPos);
    playback.stopPlayback();
    playback.stopFollowing();
    playback.startFocusing();
}

void SpeedLabels::lblFreqNorm_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    Playback& playback = player_.playback();
    player_.setCurrentFile(player_.originalFile());
    player_.loader().reloadPlayerFile();
    playback.startPlayback();
    player_.playback().setSlider(playback.state().startPos);
    playback.startFocusing();
}

void SpeedLabels::pressFasterLabel(int speed) {
    Playback& playback = player_.playback();
    player_.playback().showSpeedPressed(speed);
    // A faster speed goes on at the fraction that the playback had reached.
    playback.state().startPos = playback.state().pos;
    player_.playback().setSlider(playback.state().startPos);
    playback.stopPlayback();
    playback.stopFollowing();
    playback.startFocusing();
}

void SpeedLabels::releaseFasterLabel(int speed) {
    const QString rx = rxWavePath();
    if (!copies_.write(speed, rx)) {
        // An old rx.wav would play another recording: stay stopped instead.
        player_.playback().showSpeedPressed(Playback::kNoSpeed);
        return;
    }
    player_.setCurrentFile(rx);
    player_.loader().reloadPlayerFile();
    if (player_.loadedFile() != rx) {
        // The copy's header was refused, so the file named by loadedFile is not the copy.
        player_.playback().showSpeedPressed(Playback::kNoSpeed);
        return;
    }
    player_.playback().startPlayback();
    player_.playback().setSlider(player_.playback().state().startPos);
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
