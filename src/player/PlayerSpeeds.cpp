// The speed labels, the restart of the window's file and continuous play through the list.
#include "app/Program.h"
#include "archive/Archive.h"
#include "common/PathSeparator.h"
#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "player/SpeedCopy.h"
#include "ui/ControlEvents.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace kestrova {

QString Player::rxWavePath() const {
    return QDir(program_.programFolder()).filePath(QStringLiteral("rx.wav"));
}

void Player::showSpeedPressed(LabelButton* pressed) {
    SoundForm& sound = *program_.frm_Oszi;
    for (LabelButton* label : {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3}) {
        label->setBorder(label == pressed ? LabelBorder::Sunken : LabelBorder::Raised);
    }
}

// The copies are made from the file when a faster label is released, streamed into
// rx.wav; here the file is only checked to be a readable WAVE file.
void Player::prepareSpeedCopies() {
    if (currentFile.isEmpty()) {
        return;
    }
    QFile file(currentFile);
    WaveInfo info;
    // Anything else leaves no copies: the faster labels must neither play the file
    // loaded before it nor a copy that the header reader refuses.
    const bool usable = QFileInfo(currentFile).isFile() && file.open(QIODevice::ReadOnly) &&
                        parseWaveHeader(file, info) == WaveHeaderVerdict::Valid;
    speedSource_ = usable ? currentFile : QString();
}

void Player::reloadPlayerFile() {
    program_.frm_Oszi->tmrplaywave->stop();
    if (endsWithSeparator(currentFile)) {
        currentFile.clear(); // a folder is not a file
    }
    setSlider(startPos);
    readWaveHeader(currentFile);
    program_.frm_DoKu->cmd_File_lö->setEnabled(false);
}

void Player::lblFreqNorm_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    showSpeedPressed(program_.frm_Oszi->lblFreqNorm);
    // Normal speed restarts where the last start began, not where playback is now.
    setSlider(startPos);
    stopPlayback();
    program_.frm_Oszi->tmrplaywave->stop();
    program_.frm_DoKu->tmr_Focus->start();
}

void Player::lblFreqNorm_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    currentFile = originalFile;
    reloadPlayerFile();
    startPlayback();
    setSlider(startPos);
    program_.frm_DoKu->tmr_Focus->start();
}

void Player::pressFasterLabel(LabelButton* label) {
    showSpeedPressed(label);
    // A faster speed goes on at the fraction that the playback had reached.
    startPos = pos;
    setSlider(startPos);
    stopPlayback();
    program_.frm_Oszi->tmrplaywave->stop();
    program_.frm_DoKu->tmr_Focus->start();
}

void Player::releaseFasterLabel(int speed) {
    const QString rx = rxWavePath();
    if (speedSource_.isEmpty() || !writeSpeedCopy(speedSource_, rx, speed)) {
        // An old rx.wav would play another recording: stay stopped instead.
        showSpeedPressed(nullptr);
        return;
    }
    currentFile = rx;
    reloadPlayerFile();
    if (loadedFile != rx) {
        // The copy's header was refused, so the file named by loadedFile is not the copy.
        showSpeedPressed(nullptr);
        return;
    }
    startPlayback();
    setSlider(startPos);
}

void Player::lblFreq1_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(program_.frm_Oszi->lblFreq1);
}

void Player::lblFreq1_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(1);
}

void Player::lblFreq2_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(program_.frm_Oszi->lblFreq2);
}

void Player::lblFreq2_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(2);
}

void Player::lblFreq3_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    pressFasterLabel(program_.frm_Oszi->lblFreq3);
}

void Player::lblFreq3_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    releaseFasterLabel(3);
}

void Player::playNextInList() {
    if (!program_.frm_Einstellungen->chkFortlaufend->isChecked()) {
        return;
    }
    QListWidget* list = program_.frm_DoKu->lb_Sounds;
    const int next = list->currentRow() + 1;
    // After the last entry continuous play ends, with the slider at the end.
    if (next >= list->count()) {
        return;
    }
    list->setCurrentRow(next);
    program_.platform().sounds.stop();
    currentFile = program_.archive().entryPath(next);
    loadCurrentFile();
    program_.frm_DoKu->tmr_NachStop->start();
    program_.frm_Oszi->tmrplaywave->start();
}

void Player::tmr_NachStop_Timer() {
    Archive& archive = program_.archive();
    archive.lb_Sounds_MouseDown(mousebutton::Left, 0, 0, 0);
    archive.lb_Sounds_MouseUp(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    program_.frm_DoKu->tmr_NachStop->stop();
}

} // namespace kestrova
