#include "app/SettingsTable.h"

#include "app/Program.h"
#include "automation/AutoCq.h"
#include "common/NumericValue.h"
#include "platform/SerialPortNames.h"
#include "recorder/LevelMeterControl.h"
#include "recorder/Recorder.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsValues.h"
#include "transmit/Transmitter.h"
#include "ui/FormGeometry.h"
#include "ui/LabelButton.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"
#include "ui/SoundForm.h"
#include "ui/ValueBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <array>
#include <climits>
#include <cstdlib>

namespace kestrova {

namespace {

SettingsForm& form(const SettingsTarget& target) {
    return *target.program.frm_Einstellungen;
}
MainForm& mainForm(const SettingsTarget& target) {
    return *target.program.frm_DoKu;
}

// A list-only combo box refuses a text that is not one of its items.
bool setComboText(QComboBox* box, const QString& text) {
    if (box->isEditable()) {
        box->setEditText(text);
        return true;
    }
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        return false;
    }
    box->setCurrentIndex(index);
    return true;
}

bool setSliderValue(QSlider* slider, long long value) {
    if (value < slider->minimum() || value > slider->maximum()) {
        return false;
    }
    // The program sets the value; the user's scroll handler must not run.
    const QSignalBlocker blocker(slider);
    slider->setValue(static_cast<int>(value));
    return true;
}

bool setBarMaximum(ValueBar* bar, double maximum) {
    const long long whole = roundToWhole(maximum);
    if (whole < 0 || whole > INT_MAX) {
        return false;
    }
    bar->setMaximum(static_cast<int>(whole));
    return true;
}

QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// A check box takes only checked or unchecked.
bool applyCheckBox(SettingsTarget& target, const QString& text, QCheckBox* box,
                   int SettingsValues::*derived = nullptr) {
    const long long state = roundToWhole(numericValue(text));
    if (state != 0 && state != 1) {
        return false;
    }
    box->setChecked(state == 1);
    if (derived != nullptr) {
        target.values.*derived = static_cast<int>(state);
    }
    return true;
}

enum class Edge { Left, Top };

bool applyPosition(QWidget* window, Edge edge, const QString& text) {
    const long long twips = roundToWhole(numericValue(text));
    // Half the range, so that moving by the frame cannot overflow.
    if (twips < INT_MIN / 2 || twips > INT_MAX / 2) {
        return false;
    }
    if (edge == Edge::Left) {
        setLeftTwips(window, static_cast<int>(twips));
    } else {
        setTopTwips(window, static_cast<int>(twips));
    }
    return true;
}

QString positionText(const QWidget* window, Edge edge) {
    return QString::number(edge == Edge::Left ? leftTwips(window) : topTwips(window));
}

bool applySampleRate(SettingsTarget& target, const QString& text) {
    QComboBox* box = form(target).cb_Sample;
    if (!setComboText(box, text)) {
        return false;
    }
    target.values.meterSampleRate = static_cast<int>(roundToWhole(numericValue(box->currentText())));
    return true;
}

bool applyCircuitNumber(SettingsTarget& target, const QString& text) {
    form(target).ed_FK->setText(text);
    target.values.circuitNumber = roundToWhole(numericValue(text));
    // Recordings are named by this one digit.
    return target.values.circuitNumber >= 0 && target.values.circuitNumber <= 9;
}

bool applyComPort(SettingsTarget& target, const QString& text) {
    SettingsForm& settings = form(target);
    // A port the list lacks is not damage: the port keeps the choice it had.
    setComboText(settings.cb_Com, text);
    target.values.comPortName = comPortNameFor(settings.cb_Com->currentText());
    return true;
}

bool applyPins(SettingsTarget& target, const QString& text) {
    SettingsForm& settings = form(target);
    const PinLine pins = unpackPinLine(text);
    // Pins the lists lack are not damage either.
    setComboText(settings.cb_PIN, pins.pttText);
    target.values.pttPin = roundToWhole(numericValue(settings.cb_PIN->currentText()));
    setComboText(settings.cb_PIN_RX, pins.squelchText);
    target.values.squelchPin = roundToWhole(numericValue(settings.cb_PIN_RX->currentText().left(1)));
    target.values.squelchActiveChar = pins.activeChar;
    return true;
}

QString currentPins(SettingsTarget& target) {
    SettingsForm& settings = form(target);
    const PackedPins pins = packPinLine(settings.cb_PIN->currentText(), settings.cb_PIN_RX->currentText());
    settings.cb_PIN_RX->setEditText(pins.squelchText);
    target.values.squelchActiveChar = pins.activeChar;
    return pins.line;
}

bool applyStartLevel(SettingsTarget& target, const QString& text) {
    MainForm& main = mainForm(target);
    form(target).ed_StartPegel->setText(text);
    main.lbl_Schwelle->setText(numberText(numericValue(text)));
    return setSliderValue(main.sli_Schwelle, roundToWhole(numericValue(form(target).ed_StartPegel->text())));
}

bool applyMinimumTime(SettingsTarget& target, const QString& text) {
    form(target).ed_AufnZeitMin->setText(text);
    target.values.minRecordLimit = 10 * numericValue(text);
    // No number, or one too large: the stand-in 0 is not the user's, so the deletion pass waits.
    target.guesses.minimum = !isCountableNumber(text);
    return true;
}

bool applyMaximumTime(SettingsTarget& target, const QString& text) {
    form(target).ed_AufnZeitMax->setText(text);
    target.values.maxRecordLimit = 10 * numericValue(text);
    return setBarMaximum(mainForm(target).progressbar3, target.values.maxRecordLimit);
}

bool applyRetentionDays(SettingsTarget& target, const QString& text) {
    const double days = numericValue(text);
    form(target).ed_FilesLöschen->setText(text);
    target.values.retentionDays = days;
    // As for the minimum time: a stand-in 0 must not decide what is deleted.
    target.guesses.retention = !isCountableNumber(text);
    mainForm(target).fr3->setTitle(QStringLiteral("Sounds der letzten ") + numberText(days) +
                                   QStringLiteral(" Tage"));
    return true;
}

bool applyPlaybackVolume(SettingsTarget& target, const QString& text) {
    form(target).ed_PlayPegel->setText(text);
    QSlider* slider = target.program.frm_Oszi->sli_Lautst;
    // The slider runs upside down: 100 % is its value 0.
    if (!setSliderValue(slider, std::llabs(wholePart(numericValue(text) * 655.35) - 65535))) {
        return false;
    }
    target.values.outputLevel = 65535 - slider->value();
    target.program.transmitter().applyOutputVolume();
    return true;
}

bool applyTransmitterControl(SettingsTarget& target, const QString& text) {
    if (!applyCheckBox(target, text, form(target).chk_TX, &SettingsValues::txControlEnabled)) {
        return false;
    }
    target.program.frm_Oszi->lbl_TX->setVisible(target.values.txControlEnabled != 0);
    return true;
}

bool applyMeterInterval(SettingsTarget& target, const QString& text) {
    LevelMeterControl& meter = target.program.recorder().meter();
    if (!meter.setMeterInterval(roundToWhole(numericValue(text)))) {
        return false;
    }
    // The field shows what the timer took, not what the file said.
    const QString interval = QString::number(meter.meterInterval());
    form(target).ed_Interval->setText(interval);
    form(target).lbl33->setText(interval + QStringLiteral(" ms"));
    return true;
}

// 1 switches parrot mode on, 0 off. Any other value also disables and hides the
// Auto-CQ and parrot controls until the program restarts; that is meant, not a
// missing check.
bool applyParrotState(SettingsTarget& target, const QString& text) {
    SettingsForm& settings = form(target);
    MainForm& main = mainForm(target);
    const double state = numericValue(text);
    if (state == 1) {
        showReleased(main.lblCQ);
        main.lblCQ->show();
        settings.chkPapagei->setChecked(true);
        settings.chkFortlaufend->setChecked(false); // parrot mode and continuous play exclude each other
        main.cmd_PAPA->show();
        return true;
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
    return true;
}

bool applyCqPause(SettingsTarget& target, const QString& text) {
    form(target).ed_CQ->setText(text);
    return target.program.autoCq().setCqPause(roundToWhole(numericValue(text) * 1000));
}

using T = SettingsTarget;
using S = const QString;

const std::array<SettingsLine, kSettingsLineCount - 1> kLines{{
    {2,
     [](T& t, S& text) {
         form(t).ed_PfadDoku->setText(text);
         t.values.docFolder = text.trimmed();
         return true;
     },
     [](T& t) { return form(t).ed_PfadDoku->text(); }},
    {3,
     [](T& t, S& text) {
         form(t).ed_FunkName->setText(text);
         mainForm(t).lbl_LoadWave->setText(text + QStringLiteral(" Sounds"));
         return true;
     },
     [](T& t) { return form(t).ed_FunkName->text(); }},
    {4, applySampleRate, [](T& t) { return form(t).cb_Sample->currentText(); }},
    {5, [](T& t, S& text) { return setComboText(form(t).cb_Kanal, text); },
     [](T& t) { return form(t).cb_Kanal->currentText(); }},
    {6, applyCircuitNumber, [](T& t) { return form(t).ed_FK->text(); }},
    {7, applyComPort, [](T& t) { return form(t).cb_Com->currentText(); }},
    {8, applyPins, currentPins},
    {9, applyStartLevel, [](T& t) { return form(t).ed_StartPegel->text(); }},
    {10, applyMinimumTime, [](T& t) { return form(t).ed_AufnZeitMin->text(); }},
    {11, applyMaximumTime, [](T& t) { return form(t).ed_AufnZeitMax->text(); }},
    {12,
     [](T& t, S& text) {
         form(t).ed_PauseStille->setText(text);
         t.values.silencePauseLimit = numericValue(text);
         return true;
     },
     [](T& t) { return form(t).ed_PauseStille->text(); }},
    {13,
     [](T& t, S& text) {
         form(t).ed_PauseSignal->setText(text);
         return true;
     },
     [](T& t) { return form(t).ed_PauseSignal->text(); }},
    {14, applyRetentionDays, [](T& t) { return form(t).ed_FilesLöschen->text(); }},
    {15, applyPlaybackVolume, [](T& t) { return form(t).ed_PlayPegel->text(); }},
    {16,
     [](T& t, S& text) { return applyCheckBox(t, text, form(t).chk_StartAuto, &SettingsValues::autoStart); },
     [](T& t) { return checkText(form(t).chk_StartAuto); }},
    {17, [](T& t, S& text) { return applyCheckBox(t, text, form(t).chk_Sichtbar); },
     [](T& t) { return checkText(form(t).chk_Sichtbar); }},
    {18,
     [](T& t, S& text) {
         return applyCheckBox(t, text, form(t).chk_Log_Anz, &SettingsValues::logLevelDisplay);
     },
     [](T& t) { return checkText(form(t).chk_Log_Anz); }},
    {19,
     [](T& t, S& text) {
         return applyCheckBox(t, text, form(t).chk_AufnDoku, &SettingsValues::archiveRecordings);
     },
     [](T& t) { return checkText(form(t).chk_AufnDoku); }},
    {20, applyTransmitterControl, [](T& t) { return checkText(form(t).chk_TX); }},
    {21,
     [](T& t, S& text) {
         t.values.fileCount = roundToWhole(numericValue(text));
         return true;
     },
     [](T& t) { return QString::number(t.values.fileCount); }},
    {22, applyMeterInterval, [](T& t) { return form(t).ed_Interval->text(); }},
    {23,
     [](T& t, S& text) {
         return applyCheckBox(t, text, form(t).chk_Sichtbar2, &SettingsValues::showSettingsAtStart);
     },
     [](T& t) { return checkText(form(t).chk_Sichtbar2); }},
    {24, [](T& t, S& text) { return applyCheckBox(t, text, form(t).chkFortlaufend); },
     [](T& t) { return checkText(form(t).chkFortlaufend); }},
    {25, applyParrotState, [](T& t) { return checkText(form(t).chkPapagei); }},
    {26, applyCqPause, [](T& t) { return form(t).ed_CQ->text(); }},
    {27, [](T& t, S& text) { return applyPosition(&mainForm(t), Edge::Left, text); },
     [](T& t) { return positionText(&mainForm(t), Edge::Left); }},
    {28, [](T& t, S& text) { return applyPosition(&mainForm(t), Edge::Top, text); },
     [](T& t) { return positionText(&mainForm(t), Edge::Top); }},
    {29, [](T& t, S& text) { return applyPosition(&form(t), Edge::Left, text); },
     [](T& t) { return positionText(&form(t), Edge::Left); }},
    {30, [](T& t, S& text) { return applyPosition(&form(t), Edge::Top, text); },
     [](T& t) { return positionText(&form(t), Edge::Top); }},
}};

} // namespace

std::span<const SettingsLine> settingsLines() {
    return kLines;
}

bool finishSettingsLines(SettingsTarget& target) {
    return setBarMaximum(mainForm(target).progressbar4, target.values.minRecordLimit);
}

} // namespace kestrova
