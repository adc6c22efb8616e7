#include "gui/app/SettingsEffects.h"

#include "base/common/NumericValue.h"
#include "base/settings/SettingsValues.h"
#include "gui/app/Program.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

namespace kestrova {

namespace {

void setSliderValue(QSlider* slider, long long value) {
    // The program sets the value; the user's scroll handler must not run.
    const QSignalBlocker blocker(slider);
    slider->setValue(static_cast<int>(value));
}

void setBarMaximum(ValueBar* bar, double maximum) {
    bar->setMaximum(static_cast<int>(roundToWhole(maximum)));
}

void showRecordingLimits(MainForm& main, const SettingsValues& values) {
    main.lbl_LoadWave->setText(values.circuitName + QStringLiteral(" Sounds"));
    main.lbl_Schwelle->setText(numberText(values.startLevel));
    setSliderValue(main.sli_Schwelle, roundToWhole(values.startLevel));
    setBarMaximum(main.progressbar3, values.maxRecordLimit);
    setBarMaximum(main.progressbar4, values.minRecordLimit);
    main.fr3->setTitle(QStringLiteral("Sounds der letzten ") + numberText(values.retentionDays) +
                       QStringLiteral(" Tage"));
}

// The circuit hands the values to its parts as they are read; the forms show them.
void showTimers(Program& program, const SettingsValues& values) {
    // The field shows what the timer took, not what the file said.
    SettingsForm& form = *program.frm_Einstellungen;
    const QString interval = QString::number(values.meterInterval);
    form.ed_Interval->setText(interval);
    form.lbl33->setText(interval + QStringLiteral(" ms"));
}

void showOutput(Program& program, const SettingsValues& values) {
    // The slider runs upside down: 100 % is its value 0.
    setSliderValue(program.frm_Oszi->sli_Lautst, 65535 - values.outputLevel);
    program.frm_Oszi->lbl_TX->setVisible(values.txControlEnabled != 0);
}

// 1 switches parrot mode on, 0 off. Any other value also disables and hides the
// Auto-CQ and parrot controls until the program restarts; that is meant, not a
// missing check.
void applyParrotState(Program& program, double state) {
    SettingsForm& settings = *program.frm_Einstellungen;
    MainForm& main = *program.frm_DoKu;
    if (state == 1) {
        showReleased(main.lblCQ);
        main.lblCQ->show();
        settings.chkPapagei->setChecked(true);
        settings.chkFortlaufend->setChecked(false); // parrot mode and continuous play exclude each other
        main.cmd_PAPA->show();
        return;
    }
    if (state != 0) {
        main.lblCQ->setEnabled(false);
        main.cmd_PAPA->setEnabled(false);
        settings.ed_CQ->hide();
        settings.chkPapagei->hide();
        settings.lbl2->hide();
    }
    main.lblCQ->hide();
    showReleased(main.lblCQ);
    settings.chkPapagei->setChecked(false);
    main.cmd_PAPA->hide();
}

} // namespace

void applySettingsEffects(Program& program, const SettingsValues& values) {
    showRecordingLimits(*program.frm_DoKu, values);
    showOutput(program, values);
    showTimers(program, values);
    applyParrotState(program, values.parrotState);
}

} // namespace kestrova
