#include "player/Player.h"

#include "app/Program.h"
#include "transmit/Transmitter.h"
#include "ui/Colors.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SoundForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

namespace kestrova {

Player::Player(Program& program) : program_(program) {}

void Player::loadSoundWindow() {
    program_.createSoundForm();
    startPos = 10'000'000;
    playing = false;
}

void Player::stopPlayback() {
    playing = false;
    program_.frm_Oszi->tmrplaywave->stop();
    program_.frm_DoKu->tmr_Focus->stop();
}

void Player::cmdStop_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    SoundForm& sound = *program_.frm_Oszi;
    program_.frm_DoKu->tmr_Focus->stop();
    stopPlayback();
    sound.tmrplaywave->stop();
    for (LabelButton* label : {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3}) {
        label->setBorder(LabelBorder::Raised);
    }
    startPos = pos;
    program_.frm_DoKu->tmr_Focus->stop();
}

void Player::cmdStop_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    program_.frm_DoKu->tmr_Focus->stop();
    if (!program_.frm_DoKu->chk_Start->isChecked()) {
        program_.frm_DoKu->cmd_File_lö->setEnabled(true);
    }
}

void Player::cmdStop_Click() {
    cmdStop_MouseDown(1, 0, 0, 0);
    LabelButton* tx = program_.frm_Oszi->lbl_TX;
    tx->setBorder(LabelBorder::Raised);
    setBackColor(tx, kColorButtonFace);
    program_.transmitter().transmitterOff();
}

} // namespace kestrova
