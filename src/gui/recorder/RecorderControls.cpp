#include "gui/recorder/RecorderControls.h"

#include "base/recorder/Recorder.h"
#include "gui/ui/Colors.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/Forms.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/StatusBar.h"
#include "gui/ui/ValueBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

namespace kestrova {

namespace {

void showBar(ValueBar* bar, long long value) {
    bar->setValue(static_cast<int>(std::clamp<long long>(value, bar->minimum(), bar->maximum())));
}

quint32 lampColor(RecordLamp lamp) {
    switch (lamp) {
    case RecordLamp::DarkRed:
        return kColorDarkRed;
    case RecordLamp::Dim:
        return kColorUndefinedSystem;
    case RecordLamp::Red:
        return kColorRed;
    case RecordLamp::Idle:
        break;
    }
    return kColorIdleLamp;
}

void showSwitch(MainForm& main, bool on) {
    if (on) {
        main.cmd_File_lö->setEnabled(false);
        main.fr2->setTitle(QStringLiteral("Recorder eingeschaltet"));
        setForeColor(main.fr2, kColorRed);
    } else {
        main.cmd_File_lö->setVisible(true);
        main.fr2->setTitle(QStringLiteral("Recorder ausgeschaltet"));
        setForeColor(main.fr2, kColorWindowText);
    }
    setHeightTwips(&main, main.tallHeight);
}

void connectSwitch(Recorder& recorder, MainForm& main) {
    Recorder* rec = &recorder;
    // The user's moves are connected in the recorder's name, what it shows in the
    // form's: whichever goes first takes the connections along.
    // chk_Start_Click: the box as the click left it says which way the switch goes.
    QObject::connect(main.chk_Start, &QCheckBox::clicked, rec, [rec](bool checked) {
        if (checked) {
            rec->switchOn();
        } else {
            rec->switchOff();
        }
    });
    QObject::connect(rec, &Recorder::switchChanged, &main,
                     [&main](bool on) { main.chk_Start->setChecked(on); });
    QObject::connect(rec, &Recorder::switchShown, &main, [&main](bool on) { showSwitch(main, on); });
    QObject::connect(rec, &Recorder::recordBarChanged, &main,
                     [&main](long long ticks) { showBar(main.progressbar3, ticks); });
    QObject::connect(rec, &Recorder::silenceBarChanged, &main,
                     [&main](long long ticks) { showBar(main.progressbar4, ticks); });
    QObject::connect(rec, &Recorder::recordLampShown, &main, [&main] { main.lbl_Record->setVisible(true); });
    QObject::connect(rec, &Recorder::recordLampChanged, &main,
                     [&main](RecordLamp lamp) { setBackColor(main.lbl_Record, lampColor(lamp)); });
}

void connectMeter(LevelMeterControl& meter, MainForm& main, SettingsForm& form, StatusBar& statusBar) {
    LevelMeterControl* m = &meter;
    m->setThreshold(main.sli_Schwelle->value());
    // Values the program sets are set with signals blocked, so this is the user's move.
    QObject::connect(main.sli_Schwelle, &QSlider::valueChanged, m,
                     [m](int value) { m->chooseThreshold(value); });
    QObject::connect(m, &LevelMeterControl::thresholdShown, &main, [&main, &form](const QString& text) {
        main.lbl_Schwelle->setText(text);
        form.ed_StartPegel->setText(text);
    });
    QObject::connect(form.ed_Interval_mouse, &MouseEvents::clicked, m,
                     [m, &form] { m->chooseMeterInterval(form.ed_Interval->text()); });
    QObject::connect(m, &LevelMeterControl::meterIntervalShown, &form,
                     [&form](const QString& text) { form.lbl33->setText(text); });
    m->setInputDevice(form.cb_Device->currentIndex());
    QObject::connect(form.cb_Device, &QComboBox::currentIndexChanged, m,
                     [m](int index) { m->setInputDevice(index); });

    QObject::connect(m, &LevelMeterControl::levelChanged, &main,
                     [&main](int value) { showBar(main.Progressbar1, value); });
    QObject::connect(m, &LevelMeterControl::levelShown, &main,
                     [&main](int level) { main.lbl_PegelAnzeige->setText(QString::number(level)); });
    QObject::connect(m, &LevelMeterControl::overloadChanged, &main, [&main](bool overload) {
        setBackColor(main.lbl_ROTL, overload ? kColorRed : kColorButtonFace);
    });
    QObject::connect(m, &LevelMeterControl::inputNoteChanged, &main,
                     [&statusBar](const QString& note) { statusBar.showInputNote(note); });
}

void connectCapture(CaptureControl& capture, MainForm& main, SettingsForm& form, StatusBar& statusBar) {
    CaptureControl* c = &capture;
    c->setRateText(form.cb_Sample->currentText());
    QObject::connect(form.cb_Sample, &QComboBox::currentTextChanged, c,
                     [c](const QString& text) { c->setRateText(text); });
    QObject::connect(c, &CaptureControl::captureTrouble, &main,
                     [&statusBar](const QString& text) { statusBar.showCaptureTrouble(text); });
}

} // namespace

void connectRecorderControls(Recorder& recorder, const Forms& forms, StatusBar& statusBar) {
    MainForm& main = *forms.frm_DoKu;
    SettingsForm& form = *forms.frm_Einstellungen;
    connectSwitch(recorder, main);
    connectMeter(recorder.meter(), main, form, statusBar);
    connectCapture(recorder.capture(), main, form, statusBar);
}

} // namespace kestrova
