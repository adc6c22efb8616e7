#include "app/EventWiring.h"

#include "app/Program.h"
#include "app/SettingsActions.h"
#include "archive/ArchiveWiring.h"
#include "player/PlayerWiring.h"
#include "recorder/Recorder.h"
#include "transmit/TransmitWiring.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "app/MainMenu.h"
#include "ui/SettingsForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSlider>

namespace kestrova {

namespace {

void wireSettingsForm(Program& program) {
    SettingsForm& form = *program.frm_Einstellungen;
    SettingsActions& actions = program.settingsActions();
    QObject::connect(form.cmd_SK, &QPushButton::clicked, &form, [&actions] { actions.cmd_SK_Click(); });
    // Saving runs on the button's release and again on its click.
    QObject::connect(watchMouse(form.cmd_Speichern), &MouseEvents::mouseUp, &form,
                     [&actions](int, int, int, int) { actions.cmd_Speichern_MouseUp(); });
    QObject::connect(form.cmd_Speichern, &QPushButton::clicked, &form,
                     [&actions] { actions.cmd_Speichern_Click(); });
    QObject::connect(form.cmd_Zurück, &QPushButton::clicked, &form,
                     [&actions] { actions.cmd_Zurück_Click(); });
    QObject::connect(form.cmdPfad, &QPushButton::clicked, &form, [&actions] { actions.chooseDocFolder(); });
}

void wireRecorder(Program& program) {
    MainForm& main = *program.frm_DoKu;
    Recorder& recorder = program.recorder();
    LevelMeterControl& meter = recorder.meter();
    QObject::connect(main.chk_Start, &QCheckBox::clicked, &main, [&recorder] { recorder.chk_Start_Click(); });
    // Values the program sets are set with signals blocked, so this is the user's move.
    QObject::connect(main.sli_Schwelle, &QSlider::valueChanged, &main,
                     [&meter] { meter.sli_Schwelle_Scroll(); });
    QObject::connect(program.frm_Einstellungen->ed_Interval_mouse, &MouseEvents::clicked, &main,
                     [&meter] { meter.ed_Interval_Click(); });
}

} // namespace

void wireEvents(Program& program) {
    wireSettingsForm(program);
    wireRecorder(program);
    wirePlayerEvents(program);
    wireArchiveEvents(program);
    wireTransmitEvents(program);
    wireMenuEvents(program);
}

} // namespace kestrova
