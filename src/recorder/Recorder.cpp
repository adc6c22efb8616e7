#include "recorder/Recorder.h"

#include "app/Program.h"
#include "app/SettingsActions.h"
#include "player/Player.h"
#include "ui/Colors.h"
#include "ui/FormGeometry.h"
#include "ui/MainForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace kestrova {

Recorder::Recorder(Program& program) : program_(program) {}

void Recorder::resetState() {
    recordingActive = false;
    capturePaused = false;
    silenceTicks = 0;
    recordTicks = 0;
    pauseTicks = 0;
    blinkPhase = 0;
    recordingName.clear();
    switchedOn_ = false;
}

void Recorder::chk_Start_Click() {
    if (program_.frm_DoKu->chk_Start->isChecked()) {
        switchOn();
    } else {
        switchOff();
    }
}

void Recorder::switchOn() {
    MainForm& main = *program_.frm_DoKu;
    main.cmd_File_lö->setEnabled(false);
    main.fr2->setTitle(QStringLiteral("Recorder eingeschaltet"));
    setForeColor(main.fr2, kColorRed);
    setHeightTwips(&main, program_.settingsActions().tallHeight);
    switchedOn_ = true;
}

void Recorder::switchOff() {
    MainForm& main = *program_.frm_DoKu;
    main.cmd_File_lö->setVisible(true);
    main.fr2->setTitle(QStringLiteral("Recorder ausgeschaltet"));
    setForeColor(main.fr2, kColorWindowText);
    main.chk_Start->setChecked(false);
    setHeightTwips(&main, program_.settingsActions().tallHeight);
    main.Progressbar1->setValue(0);
    main.progressbar3->setValue(0);
    main.progressbar4->setValue(0);
    recordingActive = false;
    silenceTicks = 0;
    recordingName.clear();
    switchedOn_ = false;
}

void Recorder::stopRecorder() {
    program_.player().cmdStop_Click();
    MainForm& main = *program_.frm_DoKu;
    main.chk_Start->setChecked(false);
    main.Progressbar1->setValue(0);
    main.progressbar3->setValue(0);
    setBackColor(main.lbl_Record, kColorIdleLamp);
    recordingActive = false;
    silenceTicks = 0;
    switchedOn_ = false;
    program_.endProgram();
}

} // namespace kestrova
