#include "archive/ArchiveWiring.h"

#include "services/Services.h"
#include "archive/ListInteractions.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"

namespace kestrova {

void wireArchiveEvents(Services& program) {
    MainForm& main = *program.frm_DoKu;
    ListInteractions& list = program.listInteractions();
    QObject::connect(main.lb_Sounds_mouse, &MouseEvents::mouseDown, &main,
                     [&list](int b, int s, int x, int y) { list.lb_Sounds_MouseDown(b, s, x, y); });
    QObject::connect(main.lb_Sounds_mouse, &MouseEvents::mouseUp, &main,
                     [&list](int b, int s, int x, int y) { list.lb_Sounds_MouseUp(b, s, x, y); });
    QObject::connect(main.lb_Sounds_mouse, &MouseEvents::doubleClicked, &main,
                     [&list] { list.lb_Sounds_DblClick(); });
    QObject::connect(main.cmd_File_lö_mouse, &MouseEvents::mouseDown, &main,
                     [&list](int b, int s, int x, int y) { list.cmd_File_lö_Pressed(b, s, x, y); });
}

} // namespace kestrova
