// The speed labels of the sound window and continuous play of the list's next entry.
#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "services/Services.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "ui/RecordingListView.h"
#include "ui/SettingsForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace kestrova {

QString Player::rxWavePath() const {
    return QDir(program_.programFolder()).filePath(QStringLiteral("rx.wav"));
}

void Player::prepareSpeedCopies(bool headerPassed) {
    if (headerPassed && QFileInfo(currentFile()).isFile()) {
        speeds_.setSource(currentFile());
    }
}

void Player::reloadPlayerFile() {
    tmrplaywave.stop();
    file_.dropFolder();
    view_.setSlider(playback_.startPos);
    readWaveHeader(currentFile());
    program_.frm_DoKu->cmd_File_lö->setEnabled(false);
}

void Player::lblFreqNorm_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    view_.showSpeedPressed(0);
    // Normal speed restarts where the last start began, not where playback is now.
    view_.setSlider(playback_.startPos);
    stopPlayback();
    tmrplaywave.stop();
    tmr_Focus.start();
}

void Player::lblFreqNorm_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    file_.setCurrent(originalFile());
    reloadPlayerFile();
    startPlayback();
    view_.setSlider(playback_.startPos);
    tmr_Focus.start();
}

void Player::pressFasterLabel(int speed) {
    view_.showSpeedPressed(speed);
    // A faster speed goes on at the fraction that the playback had reached.
    playback_.startPos = playback_.pos;
    view_.setSlider(playback_.startPos);
    stopPlayback();
    tmrplaywave.stop();
    tmr_Focus.start();
}

void Player::releaseFasterLabel(int speed) {
    const QString rx = rxWavePath();
    if (!speeds_.write(speed, rx)) {
        // An old rx.wav would play another recording: stay stopped instead.
        view_.showSpeedPressed(SoundWindowView::kNoSpeed);
        return;
    }
    file_.setCurrent(rx);
    reloadPlayerFile();
    if (loadedFile() != rx) {
        // The copy's header was refused, so the file named by loadedFile is not the copy.
        view_.showSpeedPressed(SoundWindowView::kNoSpeed);
        return;
    }
    startPlayback();
    view_.setSlider(playback_.startPos);
}

void Player::lblFreq1_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(1);
}

void Player::lblFreq1_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(1);
}

void Player::lblFreq2_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(2);
}

void Player::lblFreq2_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(2);
}

void Player::lblFreq3_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(3);
}

void Player::lblFreq3_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(3);
}

void Player::playNextInList() {
    if (!program_.frm_Einstellungen->chkFortlaufend->isChecked()) {
        return;
    }
    RecordingListView* list = program_.frm_DoKu->lb_Sounds;
    const int next = list->currentRow() + 1;
    // After the last entry continuous play ends, with the slider at the end.
    if (next >= list->count()) {
        return;
    }
    list->setCurrentRow(next);
    program_.platform().sounds.stop();
    file_.setCurrent(listCalls.entryPath(next));
    loadCurrentFile();
    tmr_NachStop.start();
    tmrplaywave.start();
}

void Player::tmr_NachStop_Timer() {
    listCalls.pressEntry();
    listCalls.releaseEntry();
    lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    tmr_NachStop.stop();
}

} // namespace kestrova
