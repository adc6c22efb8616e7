#include "app/EventWiring.h"

#include "app/Program.h"
#include "app/SettingsActions.h"
#include "player/PlayerWiring.h"
#include "recorder/Recorder.h"
#include "transmit/TransmitWiring.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "ui/SettingsForm.h"

#include <QCheckBox>
#include <QPushButton>

namespace kestrova {

namespace {

void wireSettingsForm(Program& program) {
    SettingsForm& form = *program.frm_Einstellungen;
    SettingsActions& actions = program.settingsActions();
    QObject::connect(form.cmd_SK, &QPushButton::clicked, &form, [&actions] { actions.cmd_SK_Click(); });
    // Saving runs on the button's release and again on its click.
    QObject::connect(watchMouse(form.cmd_Speichern), &MouseEvents::mouseUp, &form,
                     [&actions](int, int, int, int) { actions.cmd_Speichern_Click(); });
    QObject::connect(form.cmd_Speichern, &QPushButton::clicked, &form,
                     [&actions] { actions.cmd_Speichern_Click(); });
    QObject::connect(form.cmd_Zurück, &QPushButton::clicked, &form,
                     [&actions] { actions.cmd_Zurück_Click(); });
    QObject::connect(form.cmdPfad, &QPushButton::clicked, &form, [&actions] { actions.chooseDocFolder(); });
}

void wireMainForm(Program& program) {
    MainForm& main = *program.frm_DoKu;
    Recorder& recorder = program.recorder();
    QObject::connect(main.chk_Start, &QCheckBox::clicked, &main, [&recorder] { recorder.chk_Start_Click(); });
    main.onClose = [&recorder] { recorder.stopRecorder(); };
}

} // namespace

void wireEvents(Program& program) {
    wireSettingsForm(program);
    wireMainForm(program);
    wirePlayerEvents(program);
    wireTransmitEvents(program);
}

} // namespace kestrova
